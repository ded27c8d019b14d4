// The main window's status-bar hints: the hover hint of each panel and the
// rule that keeps a status message in panel 0 against the hints that follow.

#include <optional>
#include <string>

#include "main/Dm_umain.h"
#include "main/hint_router.h"
#include "main/status_panel_bar.h"
#include "ui_Dm_umain.h"
#include "widgets/qt_cp932.h"
#include "window/status_panel_hints.h"

void TFormMain::StatusBarMouseMove(int32_t x) {
  if (ScreeningBusy()) return;
  const std::optional<std::string> hint =
      StatusPanelHint(x, statusBar_->HintWidths(), ui_->PageControl->currentIndex());
  if (hint) statusBarHint_ = QFromCp932(*hint);
  hintRouter_->SetHint(statusBarHint_);
}

void TFormMain::ApplicationEventsHint(const QString& hint) {
  const QString panel0 = statusBar_->PanelText(0);
  if (!hintRule_.Accept(Utf16View(panel0))) return;
  const std::u16string_view longHint = LongHint(Utf16View(hint));
  statusBar_->SetPanelText(0, QFromUtf16(longHint));
}
