#pragma once
// The parts of the screening page's settings that are more than one key:
// the tick texts of the check lists, the code-box histories and the
// technical-condition rows.

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "screening/screening_conditions.h"
#include "vcl/inifile.h"

// Ticks item i exactly when byte i of `text` is "1", for the items the text
// reaches; items beyond its length keep their state.
void ApplyTickText(std::string_view text, std::span<bool> ticks);
// "1" for a ticked item, "0" for the others.
std::string TickText(std::span<const bool> ticks);

// The items "List1" .. "List" + Count of a history section; a Count beyond
// 1000 reads as 1000.
std::vector<std::string> ReadHistorySection(const vcl::TIniFile& ini, std::string_view section);
// Erases the section and writes the items with their count.
void WriteHistorySection(vcl::TIniFile& ini, std::string_view section,
                         const std::vector<std::string>& items);

// The rows of section "Technical"; a Count beyond 1000 reads as 1000.
std::vector<TechnicalCondition> ReadTechnicalSection(const vcl::TIniFile& ini);
// Writes "Count" and the rows' keys. The section is not erased, so keys of
// rows beyond the count stay in the file, never read.
void WriteTechnicalSection(vcl::TIniFile& ini, const std::vector<TechnicalCondition>& rows);
