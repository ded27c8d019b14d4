#pragma once
// The program's data, shared by the pages and the screening worker: the
// program directory (where every file of the system lies), the code table and
// the latest market date. The main window creates it and hands it to the
// pages; no page owns it. Main thread only: the screening worker reaches the
// code table through hand-overs to the main thread.

#include <filesystem>
#include <string>

#include "data/code_table.h"
#include "data/price_files.h"

class ProgramData {
 public:
  // `exeDir` is the program directory.
  explicit ProgramData(std::filesystem::path exeDir) : exeDir_(std::move(exeDir)) {}

  const std::filesystem::path& ExeDir() const { return exeDir_; }
  // A file of the program directory.
  std::filesystem::path FileInExeDir(const std::string& name) const { return exeDir_ / name; }

  CodeTable& CodeList() { return codeList_; }
  const CodeTable& CodeList() const { return codeList_; }
  // Replaces the table with "Code.txt" (a missing file gives an empty table).
  void LoadCodeFile();
  // Writes "Code.txt" when the table changed. False, with `error` (when given)
  // set to the message in code page 932 and the table still marked as changed,
  // when the file cannot be written.
  [[nodiscard]] bool SaveCodeFile(std::string* error = nullptr);

  // "yyyy/mm/dd" of the newest trading day, kUnknownMarketDate until it is
  // known.
  const std::string& LatestMarketDate() const { return latestMarketDate_; }
  void SetLatestMarketDate(std::string date) { latestMarketDate_ = std::move(date); }

 private:
  std::filesystem::path exeDir_;
  CodeTable codeList_;
  std::string latestMarketDate_ = kUnknownMarketDate;
};
