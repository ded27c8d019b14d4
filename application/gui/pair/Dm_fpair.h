#pragma once
// The pair-check page: two codes, their lot counts and an adjustment, the
// check that merges their price files into the pair's days and statistics,
// the chart options and the chart presets F5 to F12. Main thread only.

#include <QFrame>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "data/program_data.h"
#include "pair/pair_chart_settings.h"
#include "pair/pair_check_scale.h"
#include "pair/pair_day_record.h"
#include "pair/pair_item.h"
#include "pair/pair_statistics.h"
#include "vcl/inifile.h"

class QAction;
class QLabel;
class QLineEdit;
class QScrollBar;
class QTreeWidget;
class PairChartView;
namespace chart {
class Chart;
}
class ScreeningRun;
struct TicvaneApi;
namespace Ui {
class TFramePair;
}

class TFramePair : public QFrame {
  Q_OBJECT
 public:
  // What the page needs of the main window; set once by the window.
  struct Host {
    const TicvaneApi* api = nullptr;
    // The run whose library-busy flag guards every library call.
    ScreeningRun* run = nullptr;
    std::function<bool()> onLine;           // the "⇔" item checked
    std::function<bool()> chartDataUpdate;  // "最新データ自動更新(&N)" checked
    std::function<int32_t()> source;        // the selected quote source
    // The first-show idle task is pending: the recent list is left alone.
    std::function<bool()> firstShowPending;
    // A status panel's text, code page 932.
    std::function<void(int panel, std::string_view text)> setStatus;
    std::function<void(const QString& message)> reportError;
    // Preset item F5 + index (0 to 7) of the main window's menu.
    std::function<QAction*(int index)> presetItem;
    // Puts a checked pair into the registry window's recent list (which
    // leaves out a pair of the registry page now loaded).
    std::function<void(const PairToOpen&)> addRecent;
  };

  // Whether an opened pair's adjustment replaces the page's: the registry
  // hands one over, the result list none (the field then keeps its text).
  enum class AdjustmentOnOpen { kFromPair, kKeptOnPage };

  // Created without a parent; the main window places it on its page.
  explicit TFramePair(QWidget* parent = nullptr);
  ~TFramePair() override;

  // The program's data, owned by the main window.
  void SetProgramData(ProgramData& data) { data_ = &data; }
  void SetHost(Host host) { host_ = std::move(host); }
  // The whole page is disabled while a screening runs.
  void SetRunLocked(bool locked) { setEnabled(!locked); }

  // Reads the sections FrameP and Chart into the controls.
  void LoadSettings(vcl::TIniFile& ini);
  // Writes the sections FrameP and Chart from the controls. The days stay
  // (the chart may still paint them while the window closes).
  void SaveSettings(vcl::TIniFile& ini);

  // The check. With a sender (the button, Enter in a field) the codes are
  // looked up first; without one the fields are checked as they stand.
  // Refused while a screening runs or a library call is under way. True when
  // the pair was checked and drawn; false when the check was refused or
  // stopped, which leaves the last good check on the page.
  bool ButtonCheckClick(QObject* sender);
  // Fills the fields with `pair` as given (the names are the name panels'
  // captions, market " : " name) and checks it with no sender, so without a
  // code look-up. False, with the fields untouched, while a check may not
  // start.
  bool OpenPair(const PairToOpen& pair, AdjustmentOnOpen adjustment = AdjustmentOnOpen::kFromPair);
  // The pair as the page's fields hold it (the names as the panels keep
  // their captions, with "&" doubled), and whether each code was edited since
  // its name panel was filled.
  PairOnPage CurrentPair() const;
  // No screening runs and no library call is under way: a check may start.
  bool CanCheck() const;
  // Applies preset `tag` (5 to 12) read as `settings` and checks the pair
  // again; the preset can then be updated with the register button.
  void ApplyChartPreset(const PairChartSettings& settings, int32_t tag);

  // Redraws the chart for the window ending at scroll position `position`.
  void DrawChart(int32_t position);
  // Shows the figures of day `index` in the top panel.
  void ShowDay(int32_t index);

  // The checked pair's days of the period, newest first.
  const std::vector<PairDayRecord>& Days() const { return days_; }
  // The pair chart as it is drawn now; a copy draws the same (printing).
  const chart::Chart& ChartPairModel() const;

  // A pair has been checked and drawn. It stays so: a check that fails
  // leaves the last good one on the page.
  bool PairDrawn() const { return pairDrawn_; }
  // The drawn pair's statistics: its mean line, its 2σ band and the four
  // texts of status panels 1 to 4 ("-" before a check and when none was
  // computed).
  const PairStatistics& Statistics() const { return statistics_; }

 private:
  void ConnectHandlers();
  void BuildChartArea();

  // Input fields.
  void CodeExit(QLineEdit* edit);
  // `fallback` is the value a text that is no whole number stands for.
  void NumberExit(QLineEdit* edit, int32_t fallback);
  void PeriodExit(QLineEdit* edit, int32_t fallback);
  bool CheckCodeInput(QLineEdit* codeEdit, QLabel* namePanel, QLineEdit* lotEdit);
  void SetNamePanel(QLabel* panel, const std::string& caption, bool error);

  // Options.
  void CheckBoxOptionClick();
  void EditLineWidthChange();
  void EditBarWidthChange();
  void ComboBoxBarLabelChange(bool fromUser);
  void CheckBoxLABClick();
  void CheckBoxLCClick();
  void EditGridChange();
  void ReViewChart();
  void TrackBarChartRengeChange(bool fromUser);
  void TrackBarChartSplitChange();
  void ComboBoxRegFKeyChange();
  void ButtonRegFKeyClick();
  // What the preset button does with the key beside it: register the options
  // under a key picked in the list, or update the preset just applied.
  enum class PresetButtonMode { kRegister, kUpdate };
  // Enables the preset button for `mode`, with its caption.
  void ArmPresetButton(PresetButtonMode mode);
  static QString PresetButtonCaption(PresetButtonMode mode);
  PairChartSettings CurrentChartSettings() const;
  void ApplyChartSettings(const PairChartSettings& settings, bool preset);
  void PushOptionsToChart();

  // The check's steps.
  void FinishCheck(std::vector<PairDayRecord> days, PairStatistics stats, int32_t lotsA,
                   int32_t adjust, int32_t lotsB);
  void SetUpRange();
  void PutRecentPair();
  void SetStatus(int panel, std::string_view text);
  void ReportError(const QString& message);

  std::unique_ptr<Ui::TFramePair> ui_;
  ProgramData* data_ = nullptr;
  Host host_;
  // The chart with its scroll bar, which picks the window of days shown.
  PairChartView* chartView_ = nullptr;
  QScrollBar* scrollBar_ = nullptr;
  bool pairDrawn_ = false;
  std::vector<PairDayRecord> days_;
  PairStatistics statistics_;
  // The lots and the adjustment the last check scaled the days with.
  PairCheckScale scale_;
  // The number of days shown at the last range change.
  int32_t daysShown_ = 0;
  PresetButtonMode presetButtonMode_ = PresetButtonMode::kRegister;
  // The name panels' captions as the system keeps them (code page 932).
  std::string nameCaptionA_;
  std::string nameCaptionB_;
};
