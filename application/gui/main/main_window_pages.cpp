// The main window's page-dependent parts: the menus, the help context and
// the status panels of the active page, and the chart presets of the pair
// page.

#include <optional>
#include <string>

#include "codes/Dm_fcode.h"
#include "main/Dm_umain.h"
#include "main/status_panel_bar.h"
#include "pair/Dm_fpair.h"
#include "pair/pair_chart_settings.h"
#include "screening/Dm_fscrn.h"
#include "ui_Dm_umain.h"
#include "vcl/inifile.h"
#include "widgets/qt_cp932.h"
#include "window/main_settings.h"
#include "window/page_menu_table.h"
#include "window/status_count_text.h"
#include "window/status_panel_hints.h"

namespace {

QString Count(int count) { return QString::number(count); }

}  // namespace

void TFormMain::ShowPageMenus(const PageMenus& menus) {
  ui_->MainMenuPairReg->setVisible(menus.pairReg);
  ui_->MainMenuFileCode->menuAction()->setVisible(menus.fileCode);
  ui_->MainMenuFilePast->menuAction()->setVisible(menus.filePast);
  ui_->MainMenuFileScrn->menuAction()->setVisible(menus.fileScrn);
  ui_->MainMenuFilePair->menuAction()->setVisible(menus.filePair);
  ui_->MainMenuFilePairPrint->setVisible(menus.filePairPrint);
  ui_->MainMenuFileSentrova->setVisible(menus.fileSentrova);
  ui_->MainMenuChartPreset->menuAction()->setVisible(menus.chartPreset);
  ui_->MainMenuChartDataUpdate->setVisible(menus.chartDataUpdate);
}

void TFormMain::ShapeStatusPanels(int page, const std::array<int32_t, 4>& widths) {
  for (int panel = 1; panel <= 4; ++panel) {
    statusBar_->SetPanelWidth(panel, widths[static_cast<size_t>(panel - 1)]);
    statusBar_->SetPanelName(panel, QFromCp932(StatusPanelMeaning(panel, page)));
  }
}

void TFormMain::PageControlChange() {
  // During a run the menus and panels keep the state of the page on which
  // the run started.
  if (ScreeningBusy()) return;
  const int page = ui_->PageControl->currentIndex();
  const std::optional<PageMenuState> state = PageMenuStateFor(page);
  if (!state) return;
  helpContext_ = state->helpContext;
  ShowPageMenus(state->menus);
  ShapeStatusPanels(page, state->panelWidths);
  switch (page) {
    case kPageCodeData:
      statusBar_->SetPanelText(1, Count(frameCode_->CodeList().Count()));
      // A large price file still being read leaves the count blank, as the
      // double click that asked for it did.
      statusBar_->SetPanelText(2, frameCode_->PriceListLoading()
                                      ? QString()
                                      : QFromCp932(CountOrDash(frameCode_->PriceListRowCount())));
      break;
    case kPageScreening:
      SetStatusText(1, CountOrDash(frameScrn_->ResultRowCount()));
      SetStatusText(2, CountOrDash(run_.PairCount()));
      break;
    case kPagePairCheck:
      SetStatusText(1, framePair_->Statistics().CorrText);
      SetStatusText(2, framePair_->Statistics().RangeText);
      SetStatusText(3, framePair_->Statistics().MeanSdText);
      SetStatusText(4, framePair_->Statistics().SlopeText);
      break;
    default:
      break;
  }
  statusBar_->ApplyPanel0WidthRule();
}

bool TFormMain::MainMenuChartPresetClick(int32_t tag) {
  if (!OnPairCheckPage()) return false;
  if (!framePair_->PairDrawn()) return false;
  const int32_t index = tag - kFirstChartPresetTag;
  if (index < 0 || index >= static_cast<int32_t>(presetItems_.size())) return false;
  if (!presetItems_[static_cast<size_t>(index)]->isVisible()) return false;
  // Applying a preset checks the pair again, which may download.
  if (!CanUseLibrary()) return false;
  const vcl::TIniFile ini(SettingsFile());
  const std::string section = ChartPresetSection(tag);
  if (!ini.SectionExists(section)) return false;
  framePair_->ApplyChartPreset(ReadPairChartSettings(ini, section, PresetDefaults()), tag);
  return true;
}
