#pragma once
// The comparisons of the screening result list's columns. A column's sort
// kind picks one; the result is negative when the first row goes first.
// Code page 932 bytes.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "screening/screening_result_row.h"

// The sort kinds of the result columns.
enum ResultSortKind : int32_t {
  kSortNone = 0,
  kSortText = 1,              // names, margin-loan marks: by text
  kSortTextDescending = 2,    // correlation results
  kSortNumber = 3,            // trading units: ascending to 1/100
  kSortNumberDescending = 4,  // volumes, standard deviations
  kSortAbsoluteText = 5,      // regression results: by text without a leading "-"
  kSortRatio = 7,             // unit ratios: by the ratio's number
  kSortMarket = 8,            // markets: by sort key, then by text
  kSortSector = 9,            // sectors: by the sector item
};

// Byte order with the ASCII letters compared without regard to case (a trail
// byte of a double-byte character is never folded); the difference of the
// first bytes that differ, or of the lengths.
int CompareText(std::string_view s1, std::string_view s2);

// Whether `kind` compares its cells' texts by CompareText (kSortTextDescending
// the other way round): the texts that ComparedText makes of them.
bool IsTextSortKind(int32_t kind);
// The text a text kind compares for a cell: the text itself, without a
// leading "-" (kSortAbsoluteText), the ratio's number padded to five places
// (kSortRatio), or the object's digits before the text (kSortMarket).
std::string ComparedText(int32_t kind, std::string_view text, int32_t object);

// A cell of the numeric kinds as a number; one that is none counts as 0.
double SortNumberOf(std::string_view text);
// The numeric kinds' comparison: 100 x first - 100 x second, truncated toward
// zero, so that numbers closer than 1/100 compare equal.
int CompareHundredths(double first, double second);

// Compares the cells s1 and s2 (with their objects o1 and o2) of two rows by
// the sort kind `kind`; 0 for a kind that does not sort.
int CompareResultCells(int32_t kind, std::string_view s1, int32_t o1, std::string_view s2,
                       int32_t o2);

// The order of `rows` sorted by sub-item `subItem` with sort kind `kind`:
// stable, so rows that compare equal keep their order.
std::vector<size_t> SortedRowOrder(const std::vector<ScreeningResultRow>& rows, int subItem,
                                   int32_t kind);
