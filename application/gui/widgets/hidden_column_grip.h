#pragma once
// A grip for a header section kept at width 0 until the user widens it. Qt
// gives such a section no grip of its own: the divider at its left edge
// resizes the section before it. While the section is 0 wide, a drag that
// starts on that divider widens the hidden section instead, as a native
// report list does. Over that divider the pointer shows the split cursor, so
// that the grip can be found.

#include <QObject>

class QHeaderView;
class QWidget;

class HiddenColumnGrip : public QObject {
 public:
  // Watches `header` (which owns the grip) for drags on the left edge of
  // logical section `section`.
  HiddenColumnGrip(QHeaderView* header, int section);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool OnLeftEdge(int x) const;

  QHeaderView* header_;
  // Kept from the start: the viewport goes before the rest of the header
  // when it is destroyed, and the filter still sees its last events then.
  QWidget* viewport_;
  int section_;
  bool dragging_ = false;
  int dragStart_ = 0;
};
