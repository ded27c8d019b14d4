#pragma once
// A fresh directory for one test, removed with everything in it afterwards,
// with the bytes of its files written and read as they stand.

#include <algorithm>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "data/file_io.h"
#include "vcl/testing/test_dir.h"

class ScratchDir {
 public:
  const std::filesystem::path& path() const { return dir_.path(); }

  void Write(const std::string& name, std::string_view bytes) const {
    if (!WriteFileAtomically(path() / name, bytes))
      throw std::runtime_error("cannot write " + name);
  }
  std::string Read(const std::string& name) const {
    return ReadFileBytes(path() / name).value_or("<missing>");
  }
  // The names in the directory, sorted.
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path())) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  TestDir dir_;
};
