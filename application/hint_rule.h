#pragma once
// The rule that keeps a status message in panel 0 against the hints that
// follow it. Panel 0 texts open with " ? " (a hint), " * " (a status message)
// or " ! " (an error or cancel notice). A " * " or " ! " text survives the next
// six hints and the seventh replaces it; any other text is replaced by the
// next hint.

#include <QString>
#include <QStringView>
#include <cstdint>

class HintRule {
 public:
  // Decides one hint event against panel 0's current text: true when the hint
  // is to be shown, false when it is dropped.
  bool Accept(QStringView panel0Text);

  // The number of hints dropped so far while a message is held.
  int32_t SkipCount() const { return hintSkipCount_; }

 private:
  int32_t hintSkipCount_ = 0;
};

// The long part of a hint: the text after the first "|", or the whole text
// when it has none.
QString LongHint(const QString& hint);
