#include "pair/pair_item.h"

#include <array>

#include "vcl/cp932_text.h"

namespace {

// The first occurrence of `what` in `text` that starts on a character
// boundary (a plain byte search could match from a trail byte), or npos.
size_t FindText(std::string_view text, std::string_view what) {
  for (size_t i = 0; i < text.size(); i += vcl::IsLeadByte(text[i]) ? 2 : 1) {
    if (text.substr(i, what.size()) == what) return i;
  }
  return std::string_view::npos;
}

constexpr std::string_view kOldNameSeparator = "\x81\x40\x81\xCC\x81\x40";  // "　⇔　"

// The text after the first "　", or the whole text when there is none.
std::string NameOf(std::string_view text) {
  const size_t at = FindText(text, kCodeNameSeparator);
  return std::string(at == std::string_view::npos ? text
                                                  : text.substr(at + kCodeNameSeparator.size()));
}

// Splits at the first `count` commas; the last field takes the rest.
template <size_t N>
std::array<std::string, N> SplitCaption(std::string_view caption) {
  std::array<std::string, N> fields;
  for (size_t i = 0; i + 1 < N; ++i) {
    const size_t comma = caption.find(',');
    if (comma == std::string_view::npos) {
      fields[i] = std::string(caption);
      return fields;
    }
    fields[i] = std::string(caption.substr(0, comma));
    caption.remove_prefix(comma + 1);
  }
  fields[N - 1] = std::string(caption);
  return fields;
}

std::string CodeAndName(std::string_view code, std::string_view name) {
  std::string text(code);
  text += kCodeNameSeparator;
  text += name;
  return text;
}

}  // namespace

bool SamePair(const PairItem& a, const PairItem& b) {
  return a.textA == b.textA && a.textB == b.textB;
}

PairItem PairItemOf(const PairToOpen& pair) {
  PairItem item;
  item.caption =
      pair.codeA + "," + pair.lotsA + "," + pair.codeB + "," + pair.lotsB + "," + pair.adjust;
  item.textA = CodeAndName(pair.codeA, pair.nameA);
  item.textB = CodeAndName(pair.codeB, pair.nameB);
  return item;
}

PairToOpen PairToOpenOf(const PairItem& item) {
  const auto fields = SplitCaption<5>(item.caption);
  return PairToOpen{.codeA = fields[0],
                    .lotsA = fields[1],
                    .codeB = fields[2],
                    .lotsB = fields[3],
                    .adjust = fields[4],
                    .nameA = NameOf(item.textA),
                    .nameB = NameOf(item.textB)};
}

std::string NamePanelText(std::string_view market, std::string_view name) {
  std::string text(market);
  text += " : ";
  for (char c : name) {
    if (c == '&') text += '&';
    text += c;
  }
  return text;
}

std::string SingleAmpersands(std::string_view caption) {
  std::string out;
  out.reserve(caption.size());
  for (size_t i = 0; i < caption.size(); ++i) {
    out += caption[i];
    if (caption[i] == '&' && i + 1 < caption.size() && caption[i + 1] == '&') ++i;
  }
  return out;
}

bool IsStockCode(std::string_view code) {
  if (code.size() != 4) return false;
  for (char c : code) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

std::string PairDataValue(const PairItem& item) {
  return item.caption + "|" + item.textA + "|" + item.textB;
}

PairItem ParsePairDataValue(std::string_view value) {
  PairItem item;
  // "|" (7C) is also the second byte of characters such as "ポ" (83 7C).
  const size_t first = FindText(value, "|");
  if (first == std::string_view::npos) {
    item.textB = std::string(value);
    return item;
  }
  item.caption = std::string(value.substr(0, first));
  value.remove_prefix(first + 1);
  const size_t second = FindText(value, "|");
  if (second == std::string_view::npos) {
    item.textB = std::string(value);
    return item;
  }
  item.textA = std::string(value.substr(0, second));
  item.textB = std::string(value.substr(second + 1));
  return item;
}

PairItem ParseOldPairDataValue(std::string_view value) {
  PairItem item;
  const size_t bar = FindText(value, "|");
  std::string_view names = value;
  if (bar != std::string_view::npos) {
    item.caption = std::string(value.substr(0, bar));
    names = value.substr(bar + 1);
  }
  const auto fields = SplitCaption<4>(item.caption);
  const size_t separator = FindText(names, kOldNameSeparator);
  // A damaged value may end in half a character; A's name stands before a bar
  // when the pair is stored, where that half would take the bar for its own.
  size_t endA = separator;
  if (separator == std::string_view::npos) {
    endA = vcl::EndsInLoneLeadByte(names) ? names.size() - 1 : names.size();
  }
  const std::string_view nameA = names.substr(0, endA);
  const std::string_view nameB = separator == std::string_view::npos
                                     ? std::string_view()
                                     : names.substr(separator + kOldNameSeparator.size());
  item.textA = CodeAndName(fields[0], nameA);
  item.textB = CodeAndName(fields[2], nameB);
  return item;
}
