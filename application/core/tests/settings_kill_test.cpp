// A close that is killed part way must leave the settings file whole: the
// file as it was or as the save makes it, never a mix. A child process saves
// large sections over and over and is killed at random moments.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "data/file_io.h"
#include "scratch_dir.h"
#include "screening/screening_settings.h"
#include "vcl/inifile.h"
#include "vcl/replace_file.h"
#include "window/main_settings.h"

namespace {

// What a close writes, with every value telling which of two saves it is.
void SaveLikeTheClose(vcl::TIniFile& ini, char variant) {
  const std::string mark(1, variant);
  MainWindowSettings window;
  window.top = variant;
  std::vector<std::string> history;
  for (int k = 0; k < 1000; ++k) history.push_back(mark + "-" + std::to_string(k) + "-item");
  std::vector<TechnicalCondition> rows(300);
  for (size_t i = 0; i < rows.size(); ++i) {
    rows[i].kind = mark + "kind";
    rows[i].period = mark + std::to_string(i);
    rows[i].range = mark + "range";
    rows[i].resultCaption = mark + "caption";
    rows[i].resultWidth = "65";
  }
  vcl::TIniFileUpdate update(ini);
  WriteMainWindowSettings(ini, window);
  WriteHistorySection(ini, "CodeA", history);
  WriteTechnicalSection(ini, rows);
  WriteHistorySection(ini, "CodeB", history);
  update.Commit();
}

TEST(SettingsKillTest, AKilledSaveLeavesTheOldFileOrTheNewOneWhole) {
  ScratchDir dir;
  const std::filesystem::path file = dir.path() / "Dyadmark.ini";
  vcl::TIniFile ini(file);
  // Once both saves have been made the sections keep their order, so each
  // save gives one exact file whatever came before it.
  SaveLikeTheClose(ini, 'A');
  SaveLikeTheClose(ini, 'B');
  const auto started = std::chrono::steady_clock::now();
  SaveLikeTheClose(ini, 'A');
  const auto oneSave = std::chrono::steady_clock::now() - started;
  const std::string oldFile = dir.Read("Dyadmark.ini");
  SaveLikeTheClose(ini, 'B');
  const std::string newFile = dir.Read("Dyadmark.ini");
  SaveLikeTheClose(ini, 'A');
  ASSERT_EQ(dir.Read("Dyadmark.ini"), oldFile);
  ASSERT_NE(oldFile, newFile);

  std::random_device seeds;
  const unsigned seed = seeds();
  SCOPED_TRACE("seed " + std::to_string(seed));
  std::mt19937 random(seed);
  // From the child's start to a few saves in.
  const auto longest = std::chrono::duration_cast<std::chrono::microseconds>(oneSave * 4);
  std::uniform_int_distribution<long> delay(0, std::max<long>(longest.count(), 1000));
  std::set<std::string> seen;
  for (int attempt = 0; attempt < 300; ++attempt) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      vcl::TIniFile saver(file);
      for (int i = 0;; ++i) {
        try {
          SaveLikeTheClose(saver, i % 2 == 0 ? 'B' : 'A');
        } catch (...) {
          ::_exit(2);
        }
      }
    }
    std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
    ::kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the saving child stopped by itself, attempt " << attempt;
    const std::string now = dir.Read("Dyadmark.ini");
    ASSERT_TRUE(now == oldFile || now == newFile)
        << "attempt " << attempt << ": " << now.size() << " bytes, neither save";
    seen.insert(now);
  }
  // Some kills fell after a whole save, so the test saw saves end, too.
  EXPECT_EQ(seen.size(), 2u);
  // What the cut-short saves left is known as theirs and goes at the next start.
  vcl::RemoveLeftoverTemporaryFiles(dir.path());
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"Dyadmark.ini"});
}

}  // namespace
