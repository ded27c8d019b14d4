#include "widgets/recent_combo.h"

#include <QComboBox>
#include <QSignalBlocker>
#include <string>
#include <vector>

#include "widgets/qt_cp932.h"
#include "window/recent_list.h"

void AddRecentToCombo(QComboBox& box, int& tag) {
  const QString text = box.currentText();
  std::vector<std::string> items;
  for (int i = 0; i < box.count(); ++i) items.push_back(Cp932FromQ(box.itemText(i)));
  int itemIndex = box.currentIndex();
  AddRecentToList(items, itemIndex, tag, Cp932FromQ(text));
  const QSignalBlocker quiet(box);
  box.clear();
  for (const std::string& item : items) box.addItem(QFromCp932(item));
  box.setCurrentIndex(itemIndex);
  box.setEditText(text);
}
