// Screening speed in the window: the real main window, offscreen and shown on
// its screening page, on a generated program directory of N codes whose
// price files each lack two to five random days (one in twenty ends early),
// with one correlation condition. The code list is the range 1000-9999, as users type it; the
// time runs from the press of the screening button until the status bar
// reads " * スクリーニング完了" with every row in the list; the peak memory is
// the process's largest resident size up to then; the longest pause is the
// longest time the event loop did not answer while the rows came in. Then
// come the seconds of a sort of the list by the correlation and by the sell
// side's code (a click on the column, until the list is laid out again). The
// "same rows" column says whether the list's rows, in order, show the codes,
// the unit ratio and the correlation of the steps one by one (merge, unit
// ratio and tests of each key on its own). With --every-pair the condition's
// range starts at -1, so that every pair passes. Not a test.
//
//   build/bin/bench_screening_window [--every-pair] [N ...]     (default: 3800)

#include <stdlib.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QTreeView>
#include <algorithm>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "event_loop_watch.h"
#include "gui_test_program.h"
#include "main/Dm_umain.h"
#include "main/status_panel_bar.h"
#include "one_by_one.h"
#include "screening/Dm_fscrn.h"
#include "screening/screening_result_list.h"
#include "screening/screening_settings.h"
#include "synthetic_program.h"
#include "vcl/inifile.h"
#include "widgets/qt_cp932.h"
#include "window/main_pages.h"

namespace {

// The one condition of the run: from 0.9, or with `everyPair` from -1.
TechnicalCondition Condition(bool everyPair) {
  TechnicalCondition condition;
  condition.kind = "\x91\x8a\x8a\xd6\x8c\x57\x90\x94";  // 相関係数
  condition.period = std::string("   1") + " \x81\x60 " + "1200";
  condition.range = std::string(everyPair ? "       -1" : "      0.9") + " \x81\x60 ";
  condition.resultShown = true;
  condition.resultCaption = "\x91\x8a\x8a\xd6";  // 相関
  condition.resultWidth = "70";
  return condition;
}

// The program directory of `codes` codes whose price files lack a few days
// each, and its one condition.
void WriteProgram(const GuiTestDir& dir, int codes, bool everyPair) {
  WriteSyntheticProgram(dir.Path(""), codes, /*gapped=*/true);
  vcl::TIniFile ini(dir.Path("Dyadmark.ini"));
  WriteTechnicalSection(ini, {Condition(everyPair)});
}

struct Measured {
  double seconds = -1.0;
  int rows = 0;
  double peakMegabytes = 0.0;  // the process's largest resident size so far
  qint64 longestPauseMs = 0;
  double correlationSortSeconds = 0.0;
  double codeSortSeconds = 0.0;
  bool sameRows = false;
};

// Seconds of a click on a column of the list until the view has laid it out.
double SortSeconds(ScreeningResultList& list, QTreeView& view, int column) {
  QElapsedTimer timer;
  timer.start();
  list.ListViewScrnColumnClick(column);
  view.doItemsLayout();
  QCoreApplication::processEvents();
  return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

// The list shows, row by row, the codes, the ratio and the correlation of
// the steps one by one over every pair of the program's codes.
bool ShowsTheRowsOneByOne(const GuiTestDir& dir, const ScreeningResultModel& list, bool everyPair) {
  const ScreeningOfDirectory run = ScreeningOf(dir.Path(""), Condition(everyPair));
  const PairKeySet& keys = run.keys;
  const int threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  const std::vector<PassedPair> expected =
      OneByOne(dir.Path(""), keys, run.units, run.tests, threads);
  if (static_cast<int>(expected.size()) != list.rowCount()) return false;
  if (list.columnCount() != ScreeningResultModel::kFixedColumns + 1) return false;
  for (size_t r = 0; r < expected.size(); ++r) {
    const int row = static_cast<int>(r);
    const PassedPair& pair = expected[r];
    if (list.SubItem(row, 0).substr(0, 4) != keys.Codes()[pair.sell] ||
        list.SubItem(row, 6).substr(0, 4) != keys.Codes()[pair.buy] ||
        list.SubItem(row, kResultRatioSubItem) != UnitRatioText(pair.ratio) ||
        list.SubItem(row, kResultFixedSubItems) !=
            TechnicalCaption(TechnicalKind::Correlation, pair.values[0])) {
      return false;
    }
  }
  return true;
}

Measured RunOnce(int codes, bool everyPair) {
  TestProgram program;
  WriteProgram(program.dir, codes, everyPair);
  program.Start();
  TFormMain& window = *program.window;
  // Shown on the screening page, as a user watches the rows come in: the list
  // lays them out and paints them.
  window.show();
  window.findChild<QTabWidget*>("PageControl")->setCurrentIndex(kPageScreening);
  QCoreApplication::processEvents();
  // Off line: the price files are current, and the time is the screening's,
  // not the library's update of every file.
  auto* line = window.findChild<QAction*>("MainMenuLine");
  if (line != nullptr && line->isChecked()) line->trigger();
  Control<QComboBox>(window.FrameScrn(), "ComboBoxCodeA")->setEditText("1000-9999");
  Control<QCheckBox>(window.FrameScrn(), "CheckBoxGroup")->setChecked(true);
  auto* list = Control<QTreeView>(window.FrameScrn(), "ListViewScrn");
  const QString completed =
      QFromCp932(" * \x83X\x83N\x83\x8a\x81[\x83j\x83\x93\x83O\x8a\xae\x97\xb9");

  bool ended = false;
  QObject::connect(&window, &TFormMain::screeningWorkerEnded, [&] { ended = true; });
  QElapsedTimer timer;
  timer.start();
  PauseWatch pauses;
  Control<QPushButton>(window.FrameScrn(), "ButtonScr")->click();
  // The last rows and the final status reach the window in its event loop.
  QElapsedTimer sinceEnd;
  QString phase;
  // The loop sleeps between events, as the program's own does, so that it
  // takes no core from the evaluating threads; the tick only bounds the wait.
  QTimer tick;
  tick.start(50);
  while (!ended || window.StatusBar().PanelText(0) != completed) {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    // Where the time goes: each phase of the status bar as it begins.
    if (window.StatusBar().PanelText(0) != phase) {
      phase = window.StatusBar().PanelText(0);
      std::fprintf(stderr, "%8.3f s  %s\n", static_cast<double>(timer.nsecsElapsed()) / 1e9,
                   phase.toUtf8().constData());
    }
    if (ended && !sinceEnd.isValid()) sinceEnd.start();
    if (sinceEnd.isValid() && sinceEnd.elapsed() > 5000) return {};  // ended otherwise
  }
  Measured measured;
  measured.seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
  measured.longestPauseMs = pauses.LongestMilliseconds();
  measured.rows = list->model()->rowCount();
  if (!program.errors.isEmpty()) std::fprintf(stderr, "errors reported during the run\n");
  // Before the check, which holds every series as read and merges on all cores.
  measured.peakMegabytes = PeakMegabytes();
  ScreeningResultList& results = window.FrameScrn().ResultList();
  measured.sameRows = ShowsTheRowsOneByOne(program.dir, results.Model(), everyPair);
  measured.correlationSortSeconds =
      SortSeconds(results, *list, ScreeningResultModel::kFixedColumns);
  measured.codeSortSeconds = SortSeconds(results, *list, 1);
  return measured;
}

}  // namespace

int main(int argc, char** argv) {
  if (::getenv("QT_QPA_PLATFORM") == nullptr) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  std::vector<int> sizes;
  bool everyPair = false;
  for (int i = 1; i < argc; ++i) {
    if (std::string(argv[i]) == "--every-pair") {
      everyPair = true;
    } else {
      sizes.push_back(std::atoi(argv[i]));
    }
  }
  if (sizes.empty()) sizes = {3800};
  std::printf("%6s %10s %9s %8s %9s %10s %10s %s\n", "codes", "seconds", "rows", "peak MB",
              "pause ms", "sort corr", "sort code", "same rows");
  for (int n : sizes) {
    const Measured measured = RunOnce(n, everyPair);
    std::printf("%6d %10.3f %9d %8.0f %9lld %10.3f %10.3f %s\n", n, measured.seconds, measured.rows,
                measured.peakMegabytes, static_cast<long long>(measured.longestPauseMs),
                measured.correlationSortSeconds, measured.codeSortSeconds,
                measured.sameRows ? "yes" : "NO");
    std::fflush(stdout);
  }
  return 0;
}
