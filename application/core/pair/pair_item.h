#pragma once
// One pair of the pair registry's lists, the pair as the pair-check page
// holds it, and the texts that carry a pair in the settings file. Texts are
// code page 932 bytes.

#include <string>
#include <string_view>

// The pair-check page's fields of one pair: what the page holds, what the
// registry and the result list hand it to open, and what a registry row is
// made of. Build it with designated initializers.
struct PairToOpen {
  std::string codeA;   // code A edit
  std::string lotsA;   // lot count edit of A
  std::string codeB;   // code B edit
  std::string lotsB;   // lot count edit of B
  std::string adjust;  // adjustment edit
  std::string nameA;   // name panel of A: market + " : " + name
  std::string nameB;   // name panel of B
};

// The pair on the pair-check page, and whether each code edit was changed by
// the user since its name panel was last filled (the panel may then still
// name another code).
struct PairOnPage {
  PairToOpen fields;
  bool codeAEdited = false;
  bool codeBEdited = false;
};

// One row of a registry list.
struct PairItem {
  std::string caption;  // codeA,lotsA,codeB,lotsB,adjust
  std::string textA;    // code A + "　" + name panel of A
  std::string textB;    // code B + "　" + name panel of B
};

// The full-width space between a code and its name.
inline constexpr std::string_view kCodeNameSeparator = "\x81\x40";

// Two rows name the same pair when both code-and-name texts are equal; lots
// and adjustment do not count.
bool SamePair(const PairItem& a, const PairItem& b);

// The row of the page's fields.
PairItem PairItemOf(const PairToOpen& pair);
// The page's fields of a row: the caption split at "," (a missing field is
// empty, the adjustment takes the rest) and the names without the code and
// the full-width space before them.
PairToOpen PairToOpenOf(const PairItem& item);

// A name panel's text: market + " : " + name, every "&" of the name doubled
// so that it is not taken for an accelerator.
std::string NamePanelText(std::string_view market, std::string_view name);
// A caption as shown: every "&&" becomes one "&".
std::string SingleAmpersands(std::string_view caption);

// Four ASCII digits.
bool IsStockCode(std::string_view code);

// A settings value: caption + "|" + textA + "|" + textB.
std::string PairDataValue(const PairItem& item);
// Reads a settings value. Without any "|" the caption and textA are empty and
// textB is the whole value; with one "|" textA is empty and textB follows it.
PairItem ParsePairDataValue(std::string_view value);
// Reads a value of the older format: the caption, "|", then the name of A,
// "　⇔　" and the name of B; the codes come from the caption's first and
// third fields. Without "　⇔　" the whole rest is A's name (without a last
// lone lead byte) and B's is empty.
PairItem ParseOldPairDataValue(std::string_view value);
