#include "data/price_file_lines.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "data/price_file_read_thread.h"
#include "scratch_dir.h"
#include "vcl/cp932_text.h"

namespace {

std::vector<std::string> LinesOf(const PriceFileLines& lines) {
  std::vector<std::string> texts;
  for (size_t row = 0; row < lines.Count(); ++row) texts.emplace_back(lines.Line(row));
  return texts;
}

PriceFileLines Indexed(std::string bytes) {
  return PriceFileLines::Index(std::move(bytes)).value();
}

// The index cuts the lines where the list's old split (vcl::SplitLines) cut
// them: every kind of line end, empty lines, a last line without an end,
// zero bytes and two-byte characters.
TEST(PriceFileLines, LinesAreThoseOfTheLineSplit) {
  const std::string cases[] = {
      "",
      "2024/06/28\t2500\t2490\t2510\t2480\t123400\r\n2024/06/27\t2490\t2490\t2500\t2470\t900\r\n",
      "no end",
      "\r\n",
      "\r\n\r\n\n\r",
      "a\rb\nc\r\nd",
      "cr only\rcr only\r",
      "a\r\r\nb",  // CR, then CR LF: an empty line between
      "a\n\r\nb\n",
      std::string("zero\0byte\r\n\0", 13),
      "\x93\xFA\x95\x74\t\x8F\x49\r\n\xEE\xE0\n",
  };
  for (const std::string& bytes : cases) {
    EXPECT_EQ(LinesOf(Indexed(bytes)), vcl::SplitLines(bytes)) << bytes;
  }
}

// Random texts of few letters, line ends among them, against the split.
TEST(PriceFileLines, RandomTextsAgreeWithTheLineSplit) {
  std::mt19937 random(7);
  const char alphabet[] = {'1', '\t', '\r', '\n', '\0', '\x81', '/'};
  for (int round = 0; round < 500; ++round) {
    std::string bytes(random() % 60, ' ');
    for (char& byte : bytes) byte = alphabet[random() % sizeof alphabet];
    ASSERT_EQ(LinesOf(Indexed(bytes)), vcl::SplitLines(bytes)) << round;
  }
}

TEST(PriceFileLines, FieldsAreThoseOfTheLine) {
  const PriceFileLines lines = Indexed("1\t2\t3\t4\t5\t6\t7\r\nshort\t1\r\n");
  ASSERT_EQ(lines.Count(), 2u);
  EXPECT_EQ(lines.Fields(0), (PriceLineFieldViews{"1", "2", "3", "4", "5", "6"}));
  EXPECT_EQ(lines.Fields(1), (PriceLineFieldViews{"short", "1", "", "", "", ""}));
}

TEST(PriceFileLines, AStopPollEndsALongIndexAndNothingElse) {
  std::string large;
  while (large.size() < (3 << 20)) large += "0123456789\r\n";
  int polls = 0;
  EXPECT_FALSE(PriceFileLines::Index(large, [&polls] { return ++polls == 2; }).has_value());
  EXPECT_EQ(polls, 2);
  // A short text is never asked about.
  EXPECT_EQ(PriceFileLines::Index("a\r\n", [] { return true; })->Count(), 1u);
}

TEST(PriceFileLines, AFileThatCannotBeReadHasNoLines) {
  ScratchDir dir;
  dir.Write("1301.txt", "a\r\nb\r\n");
  EXPECT_EQ(ReadPriceFileLines(dir.path() / "1301.txt")->Count(), 2u);
  EXPECT_EQ(ReadPriceFileLines(dir.path() / "9999.txt")->Count(), 0u);
  EXPECT_EQ(ReadPriceFileLines(dir.path())->Count(), 0u);  // a directory
  EXPECT_FALSE(ReadPriceFileLines(dir.path() / "1301.txt", [] { return true; }).has_value());
}

// A reader that holds a file named "hold" until its read is no longer
// wanted, and reads the others at once as "<name>\r\n".
struct HeldReads {
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<std::string> started, stopped;
  std::vector<std::pair<uint64_t, std::string>> delivered;

  PriceFileReadThread::Reader Reader() {
    return [this](const std::filesystem::path& file, const PriceFileLines::StopPoll& poll) {
      const std::string name = file.filename().string();
      Note(started, name);
      if (name == "hold") {
        while (!poll()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        Note(stopped, name);
        return std::optional<PriceFileLines>();
      }
      return PriceFileLines::Index(name + "\r\n");
    };
  }
  PriceFileReadThread::Delivery Delivery() {
    return [this](uint64_t ticket, PriceFileReadThread::Lines lines) {
      const std::lock_guard lock(mutex);
      delivered.emplace_back(ticket, std::string(lines->Line(0)));
      changed.notify_all();
    };
  }
  void Note(std::vector<std::string>& list, const std::string& name) {
    const std::lock_guard lock(mutex);
    list.push_back(name);
    changed.notify_all();
  }
  void WaitUntilStarted(size_t count) {
    std::unique_lock lock(mutex);
    changed.wait(lock, [&] { return started.size() >= count; });
  }
};

TEST(PriceFileReadThread, ANewerReadStopsTheOlderWhichIsNotDelivered) {
  HeldReads reads;
  {
    PriceFileReadThread thread(reads.Delivery(), reads.Reader());
    const uint64_t held = thread.Read("hold");
    reads.WaitUntilStarted(1);
    const uint64_t next = thread.Read("next");
    EXPECT_NE(held, next);
    EXPECT_FALSE(thread.IsWanted(held));
    EXPECT_TRUE(thread.IsWanted(next));
    std::unique_lock lock(reads.mutex);
    reads.changed.wait(lock, [&] { return !reads.delivered.empty(); });
    EXPECT_EQ(reads.delivered, (std::vector<std::pair<uint64_t, std::string>>{{next, "next"}}));
  }
  EXPECT_EQ(reads.stopped, std::vector<std::string>{"hold"});
}

TEST(PriceFileReadThread, CancelAndTheEndStopAReadUnderWay) {
  HeldReads reads;
  {
    PriceFileReadThread thread(reads.Delivery(), reads.Reader());
    const uint64_t held = thread.Read("hold");
    reads.WaitUntilStarted(1);
    thread.Cancel();
    EXPECT_FALSE(thread.IsWanted(held));
    thread.Read("hold");
    reads.WaitUntilStarted(2);
  }  // the destructor stops the second and waits for it
  EXPECT_EQ(reads.stopped, (std::vector<std::string>{"hold", "hold"}));
  EXPECT_TRUE(reads.delivered.empty());
}

}  // namespace
