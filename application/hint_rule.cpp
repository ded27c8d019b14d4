#include "hint_rule.h"

bool HintRule::Accept(QStringView panel0Text) {
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

QString LongHint(const QString& hint) {
  const qsizetype bar = hint.indexOf(u'|');
  return bar < 0 ? hint : hint.mid(bar + 1);
}
