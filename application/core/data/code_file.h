#pragma once
// "Code.txt": the code table on disk, one line per code in table order,
// code page 932, fields separated by TAB, CR LF after every line:
// code, Name, Market, Type, Unit, Vol, Loan ("1" or "0"), Ng.

#include <filesystem>
#include <string>
#include <string_view>

#include "data/code_table.h"

// Reads one line by byte positions: the code is bytes 0-3 and byte 4 must be
// a TAB; Name, Market, Type, Unit and Vol each run to the next TAB (a missing
// TAB gives an empty field and consumes nothing); Loan is 1 when the next byte
// is "1" (then two bytes are skipped); the rest is Ng. Numbers that do not
// read give 0; a Type outside 0..33 gives 0 and an Ng other than 0 or 1 gives
// 1. False (outputs unspecified) for a line shorter than 5 bytes, without
// the TAB at byte 4, or starting with a UTF-8 byte-order mark.
bool ParseCodeLine(std::string_view line, std::string& code, TCodeData& data);

// The line of one code, without its line end.
std::string FormatCodeLine(std::string_view code, const TCodeData& data);

// Replaces the table with the codes of dataDir/"Code.txt" (line ends CR LF,
// LF or CR; a UTF-8 byte-order mark at the start is skipped; lines
// ParseCodeLine refuses are skipped; a code that stands twice takes the later
// line's data and the earlier line's mark). A missing or unreadable file gives
// an empty table. Clears Changed.
void LoadCodeFile(CodeTable& table, const std::filesystem::path& dataDir);

// When Changed is set, replaces dataDir/"Code.txt" with the table (through a
// temporary file, so the old file survives any failure) and clears Changed.
// False when the file cannot be written (failures are values, as in
// file_io.h): `error` (when given) receives the message naming the file, in
// code page 932, and Changed stays set.
[[nodiscard]] bool SaveCodeFile(CodeTable& table, const std::filesystem::path& dataDir,
                                std::string* error = nullptr);
