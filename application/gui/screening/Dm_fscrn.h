#pragma once
// The screening page: the code lists and conditions of a run, its start
// button and the result list.

#include <QFrame>
#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>

#include "data/excluded_codes.h"
#include "data/program_data.h"
#include "output/list_exports.h"
#include "screening/screening_conditions.h"
#include "vcl/inifile.h"
#include "widgets/screen_cursor.h"

class CheckBoxImages;
class CheckListBox;
class QCheckBox;
class QComboBox;
class QLineEdit;
class ScreeningRun;
class ScreeningResultList;
class TechnicalListModel;
namespace Ui {
class TFrameScrn;
}

class TFrameScrn : public QFrame {
  Q_OBJECT
 public:
  // Created without a parent; the main window places it on its page.
  explicit TFrameScrn(QWidget* parent = nullptr);
  ~TFrameScrn() override;

  // The program's data, owned by the main window, which hands it over before
  // LoadSettings.
  void SetProgramData(ProgramData& data);
  // The check-box images of the lists, owned by the main window.
  void SetCheckImages(const CheckBoxImages* images);
  // The main window's run state: while it is busy, the handlers of the
  // technical-condition list do nothing and no run starts.
  void SetScreeningRun(const ScreeningRun* run) { run_ = run; }

  // Reads the page's sections and "C404.txt".
  void LoadSettings(vcl::TIniFile& ini);
  // Writes the page's sections and, when it changed, "C404.txt". Throws
  // what the settings file or the exclusion file throws.
  void SaveSettings(vcl::TIniFile& ini);

  // The automatic exclusion list; main thread only.
  ExcludedCodeList& ExcludedCodes() { return excludedCodes_; }
  // Writes "C404.txt" when the list changed. Throws std::runtime_error
  // naming the file when it cannot be written.
  void SaveExcludedCodes();

  // The number of rows of the result list.
  int ResultRowCount() const;
  // The texts of the result list as it stands: the captions of its
  // technical result columns and every row in its current order.
  ScreeningResultSource ResultTexts() const;
  // The result list (ListViewScrn) with its rows and columns.
  ScreeningResultList& ResultList() { return *resultList_; }

  // Disables the start button, the top panel and condition pages A and B
  // while a screening runs. A second cancel press gives them back at once.
  void SetConditionsLocked(bool locked);
  // Disables the technical-condition buttons while a screening's worker
  // lives; unlocking leaves the update button disabled until a row is
  // picked again.
  void SetTechnicalButtonsLocked(bool locked);
  // During a run the pointer is an hourglass over the page itself and an
  // arrow over its condition tabs.
  void HookRunCursor(bool on);
  // The re-check box is for online mode only.
  void SetOnLine(bool online);
  // Takes away the selection the focus gave a code box's text.
  void DeselectCodeBoxes();
  // A copy of every condition a run reads, taken on the main thread when
  // the run starts. The main window fills in the online switch, the source
  // and the code-data page's exclusion switch.
  ScreeningConditions TakeConditions() const;
  // A completed run leaves the re-check box unchecked.
  void ClearReCheck();
  // A run's value text for technical-condition row `row`, its caption.
  void SetTechnicalCaption(int row, const std::string& caption);
  // The input focus to the code list that did not parse.
  void FocusCodeA();
  void FocusCodeB();
  void FocusCodeNG();

 signals:
  // The focus entered a code box, or its drop-down closed.
  void codeBoxEntered();
  // The screening button was pressed while a run may start. The code-box
  // histories take the texts right after the signal returns.
  void screeningRequested();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The controls of one side of the conditions (0 = A, 1 = B).
  struct SideControls {
    QCheckBox* market;
    QFrame* marketPanel;
    CheckListBox* marketList;
    QCheckBox* type;
    QFrame* typePanel;
    CheckListBox* typeList;
    QCheckBox* cost;
    QLineEdit* costEdit;
    QCheckBox* vol;
    QLineEdit* volEdit;
  };

  bool RunBusy() const;
  void BuildSides();
  void BuildTechnicalList();
  void ReadColumnWidths(const vcl::TIniFile& ini);
  void WriteColumnWidths(vcl::TIniFile& ini);
  void ReadSide(const vcl::TIniFile& ini, int side);
  void WriteSide(vcl::TIniFile& ini, int side);
  std::filesystem::path ExcludedCodesFile() const;

  // Handlers of the page's controls.
  void CheckBoxScrPrmClick();
  void CheckBoxGroupClick();
  void CheckBoxCodeNGClick();
  void CheckBoxMarketClick(int side);
  void CheckBoxTypeClick(int side);
  void CheckBoxCostClick(int side);
  void CheckBoxVolClick(int side);
  void ComboBoxTechChange();
  void EditTechFromToExit(QLineEdit* edit);
  void EditTechValueExit(QLineEdit* edit);
  void CheckBoxTechResultClick();
  void ButtonTechAddClick();
  void ButtonTechUpdateClick();
  void ListViewTechDblClick();
  void ListViewTechDragDrop(int from, int target);
  void ListViewTechKeyDown();
  void ButtonScrClick();
  void FrameMouseMove();
  void PageControlScrMouseMove();

  // The row the editors describe now.
  TechnicalCondition EditedCondition() const;
  void SelectTechnicalRow(int row);

  std::unique_ptr<Ui::TFrameScrn> ui_;
  ProgramData* data_ = nullptr;
  const CheckBoxImages* checkImages_ = nullptr;
  const ScreeningRun* run_ = nullptr;
  std::array<SideControls, 2> sides_{};
  TechnicalListModel* techModel_ = nullptr;
  // The row ButtonTechUpdate rewrites (a place in the list, not a row).
  int techUpdateRow_ = -1;
  // 1 once a run was started: the code-box histories are then written.
  std::array<int, 2> codeHistoryTag_{};
  // The widths of result-list columns 1..13 as read, kept for columns the
  // list does not have.
  std::array<int, 13> scrColumnWidths_{};
  ExcludedCodeList excludedCodes_;
  ScreeningResultList* resultList_ = nullptr;  // owned by ListViewScrn
  RunCursorHooks runCursorHooks_;
};
