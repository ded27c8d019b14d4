#pragma once
// A sample program directory, so that the program can be tried without the
// web: a code table of made-up sample companies ("サンプル" in every name),
// one price file of 1225 trading days per code and a settings file in offline
// mode. The prices are synthetic: the codes of a group (9101-9103, 9104-9106,
// ...) share most of their daily moves, so those pairs move together. Every
// run writes the same bytes.

#include <filesystem>

inline constexpr int kSampleGroups = 12;
inline constexpr int kSampleCodesPerGroup = 3;
// The first sample code is kSampleFirstCode + 1.
inline constexpr int kSampleFirstCode = 9100;

// Writes the directory (created when missing). A settings file already there
// is kept, with whatever the user changed in it. Throws std::runtime_error (the message names the
// file) when a file cannot be written.
void WriteSampleDirectory(const std::filesystem::path& dir);
