#include "window/hint_rule.h"

bool HintRule::Accept(std::u16string_view panel0Text) {
  if (hintSkipCount_ == 0) {
    const bool held = panel0Text.size() >= 2 && (panel0Text[1] == u'*' || panel0Text[1] == u'!');
    if (!held) return true;
    hintSkipCount_ = 1;
    return false;
  }
  if (hintSkipCount_ <= 5) {
    ++hintSkipCount_;
    return false;
  }
  hintSkipCount_ = 0;
  return true;
}

std::u16string_view LongHint(std::u16string_view hint) {
  const size_t bar = hint.find(u'|');
  return bar == std::u16string_view::npos ? hint : hint.substr(bar + 1);
}
