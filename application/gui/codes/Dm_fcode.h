#pragma once
// The code-data page: the code table as a list with the exclusion marks, one
// code's record in the control strip (editable in edit mode) and its prices,
// and the switch that leaves the marked codes out of a screening. Main
// thread only.

#include <QFrame>
#include <QString>
#include <cstdint>
#include <memory>
#include <string>

#include "data/code_table.h"
#include "data/price_file_lines.h"
#include "data/program_data.h"
#include "screening/screening_run.h"
#include "vcl/inifile.h"
#include "widgets/screen_cursor.h"
#include "window/code_page_settings.h"

class CheckBoxImages;
class CodeListModel;
class PriceListLoader;
class PriceListModel;
namespace Ui {
class TFrameCode;
}

class TFrameCode : public QFrame {
  Q_OBJECT
 public:
  // Created without a parent; the main window places it on its page.
  explicit TFrameCode(QWidget* parent = nullptr);
  ~TFrameCode() override;

  // The program's data, owned by the main window, which hands it over before
  // LoadSettings.
  void SetProgramData(ProgramData& data);
  // The check-box images of the lists, owned by the main window.
  void SetCheckImages(const CheckBoxImages* images);
  // The screening run, owned by the main window: the page's handlers stay
  // out of a run's way.
  void SetScreeningRun(ScreeningRun& run) { run_ = &run; }

  // Reads the page's section, then loads "Code.txt" and shows its codes.
  void LoadSettings(vcl::TIniFile& ini);
  // Writes the page's section, then saves "Code.txt" (when the table
  // changed) and empties the table. The code file is saved even when the
  // settings cannot be written; that error is passed on afterwards. When the
  // code file cannot be written the table is kept and its message thrown.
  void SaveSettings(vcl::TIniFile& ini);

  // The code table (the program data's). Main thread only.
  CodeTable& CodeList() { return data_->CodeList(); }
  const CodeTable& CodeList() const { return data_->CodeList(); }

  // Disables the top panel while a screening runs. A second cancel press
  // gives it back at once.
  void SetCodePanelLocked(bool locked);
  // Disables the price list while a screening's worker lives.
  void SetPriceListLocked(bool locked);
  // During a run the pointer is an hourglass over the page itself and an
  // arrow over the code list.
  void HookRunCursor(bool on);

  // Tells the code list that the table changed.
  void SetCodeListCount();
  int CodeListItemCount() const;
  // The number of rows of the price list.
  int PriceListRowCount() const;
  // True while the price list waits for the rows of a large price file.
  bool PriceListLoading() const;
  // The code whose prices the page shows (the caption of ButtonCode, code
  // page 932), "----" while none is shown.
  std::string ShownCode() const;
  // The lines the price list shows, in list order; its six visible columns
  // are their fields.
  const PriceFileLines& PriceListLines() const;
  // "除外" is not unchecked: a screening leaves the marked codes out.
  bool ExcludeMarkedCodes() const;

  // Handlers. `pos` is in the code list's viewport.
  void ListViewCodeMouseDown(const QPoint& pos);
  void ListViewCodeDblClick();
  void ListViewCodeKeyDown(int key);
  void CheckBoxCodeNGClick();
  void CheckBoxUpdateClick();
  void ButtonCodeClick();

 signals:
  // The page's text for a panel of the main window's status bar.
  void statusPanelText(int panel, const QString& text);
  // The rows of a large price file are shown, some time after the double
  // click that asked for them; meanwhile the page may have been left.
  void priceListLoaded(int rows);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ReadSections(const vcl::TIniFile& ini);
  void WriteSections(vcl::TIniFile& ini);
  bool Busy() const { return run_ != nullptr && run_->Busy(); }
  // The row of the selected code, or -1.
  int SelectedRow() const;
  void SelectRow(int row);
  void CloseDetail();
  void FrameMouseMove();
  void ListViewCodeMouseMove();

  std::unique_ptr<Ui::TFrameCode> ui_;
  ProgramData* data_ = nullptr;
  ScreeningRun* run_ = nullptr;
  CodeListModel* codeListModel_ = nullptr;
  PriceListModel* priceListModel_ = nullptr;
  PriceListLoader* priceListLoader_ = nullptr;
  // The splitters' places as last set by the settings or the user.
  CodePageLayout layout_;
  RunCursorHooks runCursorHooks_;
};
