#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "vcl/inifile.h"
#include "vcl/testing/test_dir.h"

namespace vcl {
namespace {

namespace fs = std::filesystem;

// Duplicate sections, names in other letter cases, comments and lines that
// are neither headers nor keys: the places where a shortcut could go astray.
const std::string kTangled =
    "; head comment\r\n"
    "[Window]\r\n"
    "Top=1\r\n"
    "  top = 2 \r\n"
    "junk\r\n"
    "\r\n"
    "[window]\r\n"
    "Left=3\r\n"
    "[CodeA]\r\n"
    "Count=2\r\n"
    "List1=a\r\n"
    "List2=b\r\n"
    "; trailing comment\r\n"
    "[\x83\x5d\r\n"  // no header: "]" is the second byte of "ゾ"
    "Stray=1\r\n"
    "[Other]\r\n"
    "Key=v\r\n";

class IniFileUpdateTest : public ::testing::Test {
 protected:
  static void WriteBytes(const fs::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary) << bytes;
  }
  static std::string BytesOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  size_t EntriesInDir() const {
    return static_cast<size_t>(
        std::distance(fs::directory_iterator(dir_), fs::directory_iterator()));
  }

  const TestDir scratch_;
  const fs::path dir_ = scratch_.path();
};

struct EditCase {
  const char* name;
  std::string start;
  std::function<void(TIniFile&)> edits;
};

TEST_F(IniFileUpdateTest, AnUpdateEndsWithTheFileTheWritesOneByOneMake) {
  const std::vector<EditCase> cases = {
      {"change the first of two keys of one name", kTangled,
       [](TIniFile& ini) { ini.WriteString("WINDOW", "TOP", "9"); }},
      {"a key of a duplicate section goes to the first", kTangled,
       [](TIniFile& ini) { ini.WriteString("window", "Left", "4"); }},
      {"a new key after the last key line, before the comment", kTangled,
       [](TIniFile& ini) {
         ini.WriteString("CodeA", "List3", "c");
         ini.WriteString("CodeA", "List4", "d");
         ini.WriteString("CodeA", "List1", "A");
       }},
      {"history rewritten: erase, then key by key", kTangled,
       [](TIniFile& ini) {
         ini.EraseSection("codea");
         ini.WriteInteger("CodeA", "Count", 3);
         for (int k = 1; k <= 3; ++k) ini.WriteString("CodeA", "List" + std::to_string(k), "x");
       }},
      {"every section of a name erased", kTangled,
       [](TIniFile& ini) {
         ini.EraseSection("Window");
         ini.WriteString("Window", "Top", "5");
       }},
      {"keys deleted, then written again", kTangled,
       [](TIniFile& ini) {
         ini.DeleteKey("CodeA", "List1");
         ini.DeleteKey("CodeA", "Missing");
         ini.WriteString("CodeA", "List9", "z");
         ini.WriteString("CodeA", "List1", "back");
         ini.DeleteKey("window", "top");
         ini.WriteString("Window", "Top", "first now");
       }},
      {"a new section at the end, and the stray line stays in CodeA", kTangled,
       [](TIniFile& ini) {
         ini.WriteString("New", "k", "1");
         ini.WriteString("CodeA", "Stray", "2");
         ini.WriteString("New", "k", "2");
       }},
      {"a missing file", "",
       [](TIniFile& ini) {
         ini.EraseSection("A");
         ini.WriteString("A", "k", "1");
         ini.WriteString("B", "k", "2");
       }},
      {"bare line feeds are written back with CR LF", "[S]\nk=1\n",
       [](TIniFile& ini) { ini.EraseSection("none"); }},
  };
  for (const EditCase& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path plain = dir_ / "plain.ini";
    const fs::path batched = dir_ / "batched.ini";
    fs::remove(plain);
    fs::remove(batched);
    if (!c.start.empty()) {
      WriteBytes(plain, c.start);
      WriteBytes(batched, c.start);
    }
    TIniFile one(plain);
    c.edits(one);
    TIniFile many(batched);
    TIniFileUpdate update(many);
    c.edits(many);
    update.Commit();
    EXPECT_EQ(BytesOf(batched), BytesOf(plain));
  }
}

TEST_F(IniFileUpdateTest, TheFileIsLeftAloneUntilTheUpdateCommits) {
  const fs::path file = dir_ / "Dyadmark.ini";
  WriteBytes(file, kTangled);
  TIniFile ini(file);
  TIniFileUpdate update(ini);
  ini.EraseSection("CodeA");
  ini.WriteInteger("CodeA", "Count", 0);
  ini.WriteString("Window", "Top", "8");
  EXPECT_EQ(BytesOf(file), kTangled);
  // The object reads its own writes; another one reads the file.
  EXPECT_EQ(ini.ReadString("codea", "count", ""), "0");
  EXPECT_FALSE(ini.SectionExists("Nothing"));
  EXPECT_EQ(TIniFile(file).ReadString("CodeA", "Count", ""), "2");
  update.Commit();
  EXPECT_EQ(TIniFile(file).ReadString("CodeA", "Count", ""), "0");
  EXPECT_EQ(TIniFile(file).ReadString("Window", "Top", ""), "8");
}

TEST_F(IniFileUpdateTest, ACancelledNestedUpdateDropsOnlyItsOwnWrites) {
  const fs::path file = dir_ / "Dyadmark.ini";
  TIniFile ini(file);
  TIniFileUpdate outer(ini);
  ini.WriteString("A", "k", "outer");
  try {
    TIniFileUpdate inner(ini);
    ini.EraseSection("A");
    ini.WriteString("B", "k", "inner");
    ini.WriteString("B", "bad\nkey", "x");  // refused at once
    inner.Commit();
  } catch (const EIniFileException&) {
    // The refused key is the point; what it left behind is checked below.
  }
  EXPECT_EQ(ini.ReadString("A", "k", ""), "outer");
  EXPECT_FALSE(ini.SectionExists("B"));
  {
    TIniFileUpdate inner(ini);
    ini.WriteString("C", "k", "kept");
    inner.Commit();
  }
  EXPECT_FALSE(fs::exists(file));
  outer.Commit();
  EXPECT_EQ(BytesOf(file), "[A]\r\nk=outer\r\n[C]\r\nk=kept\r\n");
}

TEST_F(IniFileUpdateTest, WritesOfAnotherObjectDuringAnUpdateAreKept) {
  const fs::path file = dir_ / "Dyadmark.ini";
  WriteBytes(file, "[Window]\r\nTop=1\r\n");
  TIniFile main(file);
  TIniFile registry(file);
  TIniFileUpdate update(main);
  main.WriteString("Window", "Top", "2");
  registry.WriteString("PairReg", "Page", "3");
  main.WriteString("Window", "Left", "4");
  update.Commit();
  EXPECT_EQ(BytesOf(file), "[Window]\r\nTop=2\r\nLeft=4\r\n[PairReg]\r\nPage=3\r\n");
}

TEST_F(IniFileUpdateTest, AnUnwritableFileFailsAtTheCommitAndKeepsItsContents) {
  const fs::path file = dir_ / "Dyadmark.ini";
  const std::string old = "[Window]\r\nTop=120\r\n";
  WriteBytes(file, old);
  ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
  TIniFile ini(file);
  TIniFileUpdate update(ini);
  ini.WriteInteger("Window", "Top", 5);
  ini.EraseSection("Other");
  try {
    update.Commit();
    FAIL() << "no exception";
  } catch (const EIniFileException& error) {
    // " に書き込めません" in code page 932
    EXPECT_EQ(std::string(error.what()),
              file.string() + " \x82\xc9\x8f\x91\x82\xab\x8d\x9e\x82\xdf\x82\xdc\x82\xb9\x82\xf1");
    EXPECT_EQ(error.Error(), EACCES);  // why, for the message that names it
  }
  EXPECT_EQ(BytesOf(file), old);
  // The dropped writes are gone from what the object reads, too.
  EXPECT_EQ(ini.ReadInteger("Window", "Top", 0), 120);
  EXPECT_EQ(EntriesInDir(), 1u);
}

TEST_F(IniFileUpdateTest, AnUpdateWithoutChangesLeavesAFileItCannotReadAlone) {
  const fs::path file = dir_ / "Dyadmark.ini";
  fs::create_directory(file);
  TIniFile ini(file);
  {
    TIniFileUpdate update(ini);
    EXPECT_EQ(ini.ReadInteger("Window", "Top", 50), 50);
    update.Commit();
  }
  TIniFileUpdate update(ini);
  ini.WriteInteger("Window", "Top", 5);
  EXPECT_THROW(update.Commit(), EIniFileException);
  EXPECT_TRUE(fs::is_directory(file));
}

TEST_F(IniFileUpdateTest, AReadingSeesTheFileAsItBeganWithTheObjectsOwnWrites) {
  const fs::path file = dir_ / "Dyadmark.ini";
  WriteBytes(file, "[S]\r\nk=1\r\n");
  TIniFile ini(file);
  {
    const TIniFileReading reading(ini);
    WriteBytes(file, "[S]\r\nk=2\r\n");  // from outside
    EXPECT_EQ(ini.ReadString("S", "k", ""), "1");
    {
      const TIniFileReading inner(ini);
      ini.WriteString("S", "own", "3");  // goes to the file at once
      EXPECT_EQ(ini.ReadString("S", "own", ""), "3");
      EXPECT_EQ(ini.ReadString("S", "k", ""), "2");
    }
    TIniFileUpdate update(ini);
    ini.WriteString("S", "batched", "4");
    EXPECT_EQ(ini.ReadString("S", "batched", ""), "4");
    update.Commit();
    EXPECT_EQ(ini.ReadSection("S"), (std::vector<std::string>{"k", "own", "batched"}));
    WriteBytes(file, "[S]\r\nk=5\r\n");
    EXPECT_EQ(ini.ReadString("S", "k", ""), "2");
  }
  EXPECT_EQ(ini.ReadString("S", "k", ""), "5");
}

}  // namespace
}  // namespace vcl
