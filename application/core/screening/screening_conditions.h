#pragma once
// The conditions of one screening run, copied from the screening page (and
// the main window's online switch and source) when the run starts, so the
// worker never reads a widget. Texts are code page 932 bytes.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// A three-state check box as the settings file stores it.
enum class TriState : int32_t { Unchecked = 0, Checked = 1, Grayed = 2 };

// The market check list: items 0..9.
constexpr int kMarketItemCount = 10;
// The sector check list: sector items 0..33 ((sector + 33) mod 34) and the
// exclusion switch "- 除外指定 -" as item 34.
constexpr int kSectorItemCount = 35;
constexpr int kSectorExclusionItem = 34;

// The conditions of one side (page A or page B).
struct SideConditions {
  bool marketOn = false;                         // "取引所選択"
  std::array<bool, kMarketItemCount> markets{};  // ticked market items
  bool typeOn = false;                           // "業種選択"
  std::array<bool, kSectorItemCount> types{};    // ticked sector items and the switch
  bool costOn = false;                           // "必要投資額"
  std::string costLimit;                         // its edit text
  bool volOn = false;                            // "平均出来高"
  std::string volMinimum;                        // its edit text
};

// A result column's width when the row gives none or its text is not an
// integer.
constexpr int32_t kDefaultResultWidth = 65;

// One row of the technical-condition list, as the list shows and stores it.
struct TechnicalCondition {
  int32_t check = 1;          // 0 off; any other state is evaluated
  std::string kind;           // "相関係数", "回帰係数" or "標準偏差"
  std::string period;         // From (padded to 4) + " ～ " + To
  std::string range;          // lower (padded to 9) + " ～ " + upper
  bool resultShown = false;   // the row adds a result column
  std::string resultCaption;  // that column's caption
  // Its width as typed; a key the settings lack reads as kDefaultResultWidth,
  // and so does a text that is not a number where the column is made.
  std::string resultWidth;
  int32_t sortKind = 0;  // its sort kind: 2, 5 or 4 by kind
  // The row's own caption, never saved: the value text of the last pair that
  // passed this condition in a run.
  std::string caption;
};

struct ScreeningConditions {
  std::string codesA;     // text of code list A
  std::string codesB;     // text of code list B
  bool group = false;     // "グループ内チェック": B is A, page B unused
  bool loanOnly = false;  // "貸借銘柄のみ"
  // Code exclusion: unchecked none, checked the typed codes, grayed the
  // automatic exclusion list.
  TriState exclusion = TriState::Grayed;
  std::string excludedCodesText;           // the typed exclusion list
  TriState reCheck = TriState::Unchecked;  // the re-check box
  bool reCheckEnabled = false;             // it is enabled (online mode)
  // The code-data page's "除外" switch is not unchecked: codes the user
  // marked are left out. Filled in by the main window.
  bool skipMarkedCodes = true;
  std::array<SideConditions, 2> sides;         // 0 = A, 1 = B
  std::vector<TechnicalCondition> technicals;  // in list order
  bool online = false;                         // the "⇔" item; filled in by the main window
  int32_t source = 1;                          // the selected quote source; by the main window

  // Every code is looked up again (the re-check box checked or grayed).
  bool LookUpEveryCode() const { return reCheck != TriState::Unchecked; }
};
