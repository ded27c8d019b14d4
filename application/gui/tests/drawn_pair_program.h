#pragma once
// A main window whose pair page has checked and drawn a pair: 1301 "A&B"
// (sixty days) against 1332, both from price files of their own.

#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <string>

#include "data/price_files.h"
#include "gui_test_program.h"

struct DrawnPairProgram : TestProgram {
  // Starts the window on the pair page and checks 1301 against 1332.
  void StartWithDrawnPair() {
    dir.Write("Code.txt",
              "1301\tA&B\tTSE\t1\t100\t5000\t1\t0\r\n"
              "1332\tNissui\tTSE\t1\t1000\t9000\t1\t0\r\n");
    dir.Write("1301.txt", Prices(500));
    dir.Write("1332.txt", Prices(60));
    Start();
    Control<QTabWidget>(*window, "PageControl")->setCurrentIndex(2);
    SetCodes("1301", "1332");
    QTest::mouseClick(Control<QPushButton>(*window, "ButtonCheck"), Qt::LeftButton);
  }

  // Starts the window with the codes filled in but nothing checked.
  void StartWithUncheckedPair() {
    Start();
    Control<QTabWidget>(*window, "PageControl")->setCurrentIndex(2);
    SetCodes("1301", "1332");
  }

  void SetCodes(const char* a, const char* b) const {
    for (auto [name, code] :
         {std::pair{"LabeledEditStockCodeA", a}, {"LabeledEditStockCodeB", b}}) {
      QLineEdit* edit = Control<QLineEdit>(*window, name);
      edit->clear();
      QTest::keyClicks(edit, QString::fromLatin1(code));
    }
  }

  // Sixty days from 2024/06/28 back over the weekdays of three months,
  // around `close`.
  static std::string Prices(int32_t close) {
    std::string text;
    int month = 6, day = 28;
    for (int i = 0; i < 60; ++i) {
      const int32_t c = close + i % 5;
      text += FormatPriceLine({2024, month, day, c, c, c + 1, c - 1, 1000}) + "\r\n";
      if (--day == 0) {
        --month;
        day = 28;
      }
    }
    return text;
  }
};
