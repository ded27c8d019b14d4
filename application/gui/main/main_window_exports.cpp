// The main window's file menu: each list to the clipboard or to a file, the
// pair chart through the print preview, and the pair to the sibling program.

#include <array>
#include <string>
#include <vector>

#include "codes/Dm_fcode.h"
#include "main/Dm_umain.h"
#include "main/status_panel_bar.h"
#include "output/chart_print_preview.h"
#include "output/handover_text.h"
#include "output/list_export_commands.h"
#include "output/list_exports.h"
#include "output/sibling_handover.h"
#include "pair/Dm_fpair.h"
#include "screening/Dm_fscrn.h"
#include "ui_Dm_umain.h"
#include "widgets/qt_cp932.h"

void TFormMain::SaveExport(const std::vector<std::string>& lines, const std::string& fileName) {
  SaveExport(
      [&lines](const ExportLineSink& line) {
        for (const std::string& text : lines) line(text);
      },
      fileName);
}

void TFormMain::SaveExport(const ExportLineSource& lines, const std::string& fileName) {
  std::string error;
  if (!SaveLinesToChosenFile(this, lines, fileName, error) && !error.empty()) {
    ReportError(QFromCp932(error));
  }
}

void TFormMain::MainMenuFileCodeCopyClick() {
  CopyLinesToClipboard(MakeCodeList(data_->CodeList()));
}

void TFormMain::MainMenuFileCodeOutClick() {
  SaveExport(MakeCodeList(data_->CodeList()), ExportFileName("Code"));
}

void TFormMain::MainMenuFilePastCopyClick() {
  CopyLinesToClipboard(MakePastListFromLines(frameCode_->PriceListLines()));
}

void TFormMain::MainMenuFilePastOutClick() {
  SaveExport(MakePastListFromLines(frameCode_->PriceListLines()),
             ExportFileName(frameCode_->ShownCode()));
}

void TFormMain::MainMenuFileScrnCopyClick() {
  const ScreeningResultSource result = frameScrn_->ResultTexts();
  CopyLinesToClipboard([&result](const ExportLineSink& line) { WriteScrnList(result, line); });
}

void TFormMain::MainMenuFileScrnOutClick() {
  // Millions of rows are written as their lines are made, never held whole.
  const ScreeningResultSource result = frameScrn_->ResultTexts();
  SaveExport([&result](const ExportLineSink& line) { WriteScrnList(result, line); },
             ExportFileName("Pair"));
}

void TFormMain::MainMenuFilePairCopyClick() {
  CopyLinesToClipboard(MakePairList(framePair_->Days()));
}

void TFormMain::MainMenuFilePairOutClick() {
  const PairToOpen pair = framePair_->CurrentPair().fields;
  SaveExport(MakePairList(framePair_->Days()), ExportFileName(pair.codeA + "-" + pair.codeB));
}

void TFormMain::MainMenuFilePairPrintClick() {
  if (!OnPairCheckPage() || !framePair_->PairDrawn()) return;
  const PairToOpen pair = framePair_->CurrentPair().fields;
  const std::array<std::string, 4> panels = {
      Cp932FromQ(statusBar_->PanelText(1)), Cp932FromQ(statusBar_->PanelText(2)),
      Cp932FromQ(statusBar_->PanelText(3)), Cp932FromQ(statusBar_->PanelText(4))};
  // The preview's choices are kept only once the print has gone through.
  PrintChartSettings settings = printSettings_;
  PrintPairChart(
      this, framePair_->ChartPairModel(),
      MakePrintHeader(pair.nameA, pair.codeA, pair.nameB, pair.codeB, panels), settings,
      [this](std::string_view text) { SetStatusText(0, text); },
      ExportFileName(pair.codeA + "-" + pair.codeB, ".pdf"));
  printSettings_ = settings;
}

void TFormMain::MainMenuFileSentrovaClick() {
  if (!ui_->MainMenuFileSentrova->isEnabled()) return;
  if (!OnPairCheckPage() || !framePair_->PairDrawn()) return;
  const PairToOpen pair = framePair_->CurrentPair().fields;
  siblingHandOver_->HandOver(
      HandOverText(pair.codeA, pair.lotsA, pair.codeB, pair.lotsB, pair.adjust));
}
