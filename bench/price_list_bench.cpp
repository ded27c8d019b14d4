// The code page's price list on a price file of about MB megabytes (a damaged
// or foreign file; the program itself writes at most 1,225 lines): the time
// from the request until the rows are laid out and drawn, the longest time the
// event loop did not answer meanwhile, and the process's peak memory (largest
// resident size) up to then. The last column says whether every cell shows
// the text of the list's rows built the old way (each line split into its
// fields, each field converted to a widget text). Offscreen. Not a test.
//
//   build/bin/bench_price_list [MB]            the list's model in a view
//   build/bin/bench_price_list --window [MB]   the real code page, double click

#include <stdlib.h>

#include <QAbstractItemModel>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QItemSelectionModel>
#include <QTabWidget>
#include <QTimer>
#include <QTreeView>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "bench_random.h"
#include "codes/Dm_fcode.h"
#include "codes/price_list_loader.h"
#include "codes/price_list_model.h"
#include "data/file_io.h"
#include "data/price_files.h"
#include "event_loop_watch.h"
#include "gui_test_program.h"
#include "main/status_panel_bar.h"
#include "vcl/cp932_text.h"
#include "widgets/qt_cp932.h"

namespace {

// Writes price lines, newest day first, until the file holds `bytes`
// bytes, a piece at a time so that the benchmark's own peak stays low.
// The number of lines.
int WritePriceFile(const std::string& file, size_t bytes) {
  BenchRandom random{2024};
  std::FILE* out = std::fopen(file.c_str(), "wb");
  if (out == nullptr) return -1;
  std::string piece;
  PastDataRecord record{};
  size_t written = 0;
  int lines = 0;
  for (int64_t day = 0; written < bytes; ++day, ++lines) {
    record.Year = static_cast<int32_t>(9999 - day / 240 % 8000);
    record.Month = static_cast<int32_t>(12 - day / 20 % 12);
    record.Day = static_cast<int32_t>(28 - day % 20);
    record.Close = 500 + static_cast<int32_t>(random.Next() % 4500);
    record.Open = record.Close - 10;
    record.High = record.Close + 15;
    record.Low = record.Close - 20;
    record.Volume = 1000 + static_cast<int32_t>(random.Next() % 900000);
    piece += FormatPriceLine(record);
    piece += "\r\n";
    if (piece.size() >= (1 << 20) || written + piece.size() >= bytes) {
      std::fwrite(piece.data(), 1, piece.size(), out);
      written += piece.size();
      piece.clear();
    }
  }
  std::fclose(out);
  return lines;
}

struct Measured {
  int rows = 0;
  double seconds = 0.0;
  qint64 longestPause = 0;
  double peakMegabytes = 0.0;
  bool sameTexts = false;
};

// Every cell of `model` shows the text that the old list gave its cell:
// the line's fields, each converted on its own.
bool ShowsTheOldTexts(const QAbstractItemModel& model, const GuiTestDir& dir) {
  const std::vector<std::string> lines =
      vcl::SplitLines(ReadFileBytes(dir.Path("1301.txt")).value_or(""));
  if (static_cast<size_t>(model.rowCount()) != lines.size()) return false;
  for (size_t row = 0; row < lines.size(); ++row) {
    const PriceLineFields fields = SplitFields(lines[row]);
    const std::string* const cells[] = {&fields.date, &fields.close, &fields.open,
                                        &fields.high, &fields.low,   &fields.volume};
    for (int column = 1; column <= 6; ++column) {
      const QModelIndex index = model.index(static_cast<int>(row), column);
      if (model.data(index).toString() != QFromCp932(*cells[column - 1])) return false;
    }
  }
  return true;
}

// Runs the event loop from `start` until `drawn` says the rows are drawn.
Measured Run(const std::function<void()>& start, const std::function<bool()>& drawn) {
  Measured measured;
  QElapsedTimer timer;
  PauseWatch pauses;
  QEventLoop loop;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (drawn()) loop.quit();
  });
  QTimer::singleShot(20, [&] {
    timer.start();
    start();
    poll.start(1);
  });
  loop.exec();
  measured.seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
  measured.longestPause = pauses.LongestMilliseconds();
  measured.peakMegabytes = PeakMegabytes();
  return measured;
}

// The model and its loader in a view of the list's kind.
Measured InTheModel(const GuiTestDir& dir) {
  PriceListModel model;
  PriceListLoader loader(model);
  QTreeView view;
  view.setUniformRowHeights(true);
  view.setRootIsDecorated(false);
  view.setModel(&model);
  view.resize(500, 600);
  view.show();
  bool loaded = false;
  QObject::connect(&loader, &PriceListLoader::loaded, [&] {
    loaded = true;
    view.viewport()->repaint();  // lays the rows out and draws the first of them
  });
  Measured measured = Run(
      [&] {
        if (loader.Load(dir.Path("1301.txt"))) loaded = true;
      },
      [&] { return loaded; });
  measured.rows = model.rowCount();
  measured.sameTexts = ShowsTheOldTexts(model, dir);
  return measured;
}

// The real code page: a double click on the code, until its rows are drawn
// and the status bar shows their count.
Measured InTheWindow(TestProgram& program, int lines) {
  program.dir.Write("Code.txt", "1301\tKyokuyo\tTSE\t1\t100\t5000\t1\t0\r\n");
  program.Start();
  TFormMain& window = *program.window;
  Control<QTabWidget>(window, "PageControl")->setCurrentIndex(0);
  window.show();
  auto* codes = Control<QTreeView>(window.FrameCode(), "ListViewCode");
  auto* prices = Control<QTreeView>(window.FrameCode(), "ListViewPast");
  codes->selectionModel()->setCurrentIndex(
      codes->model()->index(0, 1), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  const QString count = QString::number(lines);
  Measured measured = Run([&] { window.FrameCode().ListViewCodeDblClick(); },
                          [&] {
                            if (window.StatusBar().PanelText(2) != count) return false;
                            prices->viewport()->repaint();
                            return true;
                          });
  measured.rows = window.FrameCode().PriceListRowCount();
  measured.sameTexts = ShowsTheOldTexts(*prices->model(), program.dir);
  return measured;
}

}  // namespace

int main(int argc, char** argv) {
  if (::getenv("QT_QPA_PLATFORM") == nullptr) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  bool inWindow = false;
  double megabytes = 100;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--window") == 0) {
      inWindow = true;
    } else {
      megabytes = std::atof(argv[i]);
    }
  }
  TestProgram program;
  const int lines =
      WritePriceFile(program.dir.Path("1301.txt"), static_cast<size_t>(megabytes * 1e6));
  const double before = PeakMegabytes();
  const Measured measured = inWindow ? InTheWindow(program, lines) : InTheModel(program.dir);
  std::printf("%8s %9s %10s %12s %9s %9s %s\n", "file MB", "rows", "seconds", "longest ms",
              "start MB", "peak MB", "same texts");
  std::printf("%8.0f %9d %10.3f %12lld %9.0f %9.0f %s\n", megabytes, measured.rows,
              measured.seconds, static_cast<long long>(measured.longestPause), before,
              measured.peakMegabytes, measured.sameTexts ? "yes" : "NO");
  return 0;
}
