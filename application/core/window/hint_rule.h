#pragma once
// The rule that keeps a status message in panel 0 against the hints that
// follow it. Panel 0 texts open with " ? " (a hint), " * " (a status message)
// or " ! " (an error or cancel notice). A " * " or " ! " text survives the next
// six hints and the seventh replaces it; any other text is replaced by the
// next hint. Texts are the widgets' UTF-16.

#include <cstdint>
#include <string_view>

class HintRule {
 public:
  // Decides one hint event against panel 0's current text: true when the hint
  // is to be shown, false when it is dropped.
  bool Accept(std::u16string_view panel0Text);

  // The number of hints dropped so far while a message is held.
  int32_t SkipCount() const { return hintSkipCount_; }

 private:
  int32_t hintSkipCount_ = 0;
};

// The long part of a hint: the text after the first "|", or the whole text
// when it has none. The result views `hint`.
std::u16string_view LongHint(std::u16string_view hint);
