#pragma once
// The screening result list `ListViewScrn` of the screening page: its model,
// sorting by a click on a column header, deleting the selected rows with the
// Delete key (also during a run), and opening the first selected row's pair
// with a double click (never during a run). Main thread only.

#include <QObject>
#include <functional>

#include "screening/screening_result_model.h"

class QTreeView;

class ScreeningResultList : public QObject {
  Q_OBJECT
 public:
  // Takes `view` over: its model, columns, selection and handlers.
  explicit ScreeningResultList(QTreeView* view);

  ScreeningResultModel& Model() { return *model_; }
  const ScreeningResultModel& Model() const { return *model_; }

  // While this says a run is under way, a double click opens no pair.
  void SetRunActive(std::function<bool()> runActive) { runActive_ = std::move(runActive); }

  // Handlers.
  void ListViewScrnColumnClick(int column);
  void ListViewScrnDeleteKey();
  void ListViewScrnDblClick();

 signals:
  // The Delete key was pressed (with or without rows selected); `remaining`
  // rows are left.
  void rowsDeleted(int remaining);
  // A double click asks for this row's pair on the pair-check page.
  void pairOpenRequested(const PairOpening& opening);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ApplyColumnWidths(int first, int last);

  QTreeView* view_;
  ScreeningResultModel* model_;
  std::function<bool()> runActive_;
};
