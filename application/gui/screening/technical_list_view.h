#pragma once
// The view of the technical-condition list: one selected row at most, drag
// to reorder, Delete and double click reported to its page.

#include <QTreeView>

class TechnicalListView : public QTreeView {
  Q_OBJECT
 public:
  // The column of the result column's width, 0 wide until the user widens it.
  static constexpr int kWidthColumn = 5;

  explicit TechnicalListView(QWidget* parent = nullptr);

 signals:
  // The selected row was dropped on row `target`.
  void rowDropped(int from, int target);
  void deletePressed();

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
};
