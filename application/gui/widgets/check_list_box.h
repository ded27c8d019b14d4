#pragma once
// A list of check items laid out in a fixed number of columns, filling its
// panel without scroll bars: the items run down the first column, then down
// the next, as in a multi-column list box. Leaving it takes its highlight away; the ticks
// stay.

#include <QListWidget>
#include <QStringList>
#include <span>

class CheckListBox : public QListWidget {
  Q_OBJECT
 public:
  explicit CheckListBox(QWidget* parent = nullptr);

  // Replaces the items with unticked ones in `columns` columns.
  void SetItems(const QStringList& texts, int columns);
  bool Ticked(int item) const;
  void SetTicked(int item, bool ticked);
  // The ticks of the items, in item order.
  void GetTicks(std::span<bool> ticks) const;
  void SetTicks(std::span<const bool> ticks);

 protected:
  void focusOutEvent(QFocusEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void LayOutColumns();
  int columns_ = 1;
};
