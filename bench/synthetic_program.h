#pragma once
// The generated program directories the benchmarks screen: the codes 1000,
// 1001, ... (at most 9,000 of them) with 1,225 days of prices that follow one
// market factor more or less closely, so that some pairs correlate and most
// do not, and their Code.txt. The same arguments give the same bytes.

#include <filesystem>

// Writes `codes` price files and Code.txt into `dir`, aborting when a file
// cannot be written. Without `gapped` one code in fifty lacks a day; with it
// every code lacks two to five random days and one in twenty ends early, as
// real listings do. Every code passes the margin-loan filter the screening
// page ticks by default.
void WriteSyntheticProgram(const std::filesystem::path& dir, int codes, bool gapped);
