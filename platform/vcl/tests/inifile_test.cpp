#include "vcl/inifile.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "vcl/testing/file_size_limit.h"
#include "vcl/testing/test_dir.h"

namespace vcl {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;

// A settings file as a person or another tool may have left it.
const std::string kHandWritten =
    "; Dyadmark settings\r\n"
    "\r\n"
    "[Window]\r\n"
    "Top=120\r\n"
    "  left = 30 \r\n"
    "HEIGHT=0x1F4\r\n"
    "Width=abc\r\n"
    "State=2\r\n"
    "\r\n"
    "[ option ]\r\n"
    "OnLine=0\r\n"
    "StayOnTop=1\r\n"
    "Ticvane=-3\r\n"
    "Caption=\"  quoted  \"\r\n"
    "Single='x'\r\n"
    "Lone=\"x\r\n"
    "Empty=\r\n"
    "[Foreign]\r\n"
    "Name=\x83\x65\x83\x58\x83\x67\r\n"  // "テスト"
    "junk line without equals\r\n"
    "\x83\x41=katakana a\r\n"  // "ア"
    "[ChartF5]\r\n"
    "; only a comment\r\n"
    "[\x83\x5d]\r\n"  // "[ゾ]": the second byte of "ゾ" is "]"
    "Inside=1\r\n"
    "[\x83\x5d\r\n"  // "[ゾ" has no closing bracket of its own
    "Stray=1\r\n";

class IniFileTest : public ::testing::Test {
 protected:
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(dir_.string() + ".moved", ignored);
  }

  void WriteBytes(const std::string& bytes) const {
    std::ofstream(file_, std::ios::binary) << bytes;
  }
  static std::string BytesOf(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  std::string FileBytes() const { return BytesOf(file_); }

  std::string CannotWrite(const fs::path& file) const {
    // " に書き込めません" in code page 932
    return file.string() + " \x82\xc9\x8f\x91\x82\xab\x8d\x9e\x82\xdf\x82\xdc\x82\xb9\x82\xf1";
  }

  const TestDir scratch_;
  const fs::path dir_ = scratch_.path();
  const fs::path file_ = dir_ / "Dyadmark.ini";
};

TEST_F(IniFileTest, ReadsTrimmedValuesWithNamesInAnyCase) {
  WriteBytes(kHandWritten);
  const TIniFile ini(file_);
  struct Case {
    const char* section;
    const char* key;
    const char* expected;  // "<default>" when the key is not found
  };
  const Case cases[] = {
      {"Window", "Top", "120"},
      {"WINDOW", "LEFT", "30"},
      {"window", "height", "0x1F4"},
      {" Window ", " State ", "2"},
      {"Option", "Caption", "  quoted  "},
      {"Option", "Single", "x"},
      {"Option", "Lone", "\"x"},
      {"Option", "Empty", ""},
      {"Option", "Missing", "<default>"},
      {"Foreign", "Name", "\x83\x65\x83\x58\x83\x67"},
      {"Foreign", "junk line without equals", "<default>"},
      {"Missing", "Top", "<default>"},
      {"", "Top", "<default>"},
      {"\x83\x5d", "Inside", "1"},
      {"\x83\x5d", "Stray", "1"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ini.ReadString(c.section, c.key, "<default>"), c.expected)
        << "[" << c.section << "] " << c.key;
  }
}

TEST_F(IniFileTest, ALineOpeningABracketWithoutItsOwnClosingBracketIsNoHeader) {
  WriteBytes(kHandWritten);
  const TIniFile ini(file_);
  // "[ゾ" is not a header, so "Stray" lies in section "ゾ" after "Inside".
  EXPECT_THAT(ini.ReadSection("\x83\x5d"), ElementsAre("Inside", "Stray"));
}

TEST_F(IniFileTest, FoldsAsciiLettersButNeverTheSecondByteOfACharacter) {
  WriteBytes(kHandWritten);
  const TIniFile ini(file_);
  EXPECT_EQ(ini.ReadString("FOREIGN", "\x83\x41", ""), "katakana a");
  // "ヂ" (83 61) differs from "ア" (83 41) only where ASCII would fold "A" to "a".
  EXPECT_EQ(ini.ReadString("Foreign", "\x83\x61", "none"), "none");
}

TEST_F(IniFileTest, IntegersAreDecimalOrHexadecimalWithTheDefaultOnAnythingElse) {
  WriteBytes(kHandWritten);
  const TIniFile ini(file_);
  EXPECT_EQ(ini.ReadInteger("Window", "Top", 50), 120);
  EXPECT_EQ(ini.ReadInteger("Window", "Left", 100), 30);
  EXPECT_EQ(ini.ReadInteger("Window", "Height", 600), 500);
  EXPECT_EQ(ini.ReadInteger("Window", "Width", 800), 800);
  EXPECT_EQ(ini.ReadInteger("Option", "Ticvane", 1), -3);
  EXPECT_EQ(ini.ReadInteger("Option", "Empty", 7), 7);
  EXPECT_EQ(ini.ReadInteger("Option", "Missing", 7), 7);

  EXPECT_FALSE(ini.ReadBool("Option", "OnLine", true));
  EXPECT_TRUE(ini.ReadBool("Option", "StayOnTop", false));
  EXPECT_TRUE(ini.ReadBool("Window", "State", false));  // 2 is not 0
  EXPECT_TRUE(ini.ReadBool("Window", "Width", true));   // garbage: the default
  EXPECT_FALSE(ini.ReadBool("Window", "Width", false));
  EXPECT_TRUE(ini.ReadBool("Option", "Missing", true));
}

TEST_F(IniFileTest, ASectionExistsOnlyWithKeys) {
  WriteBytes(kHandWritten);
  const TIniFile ini(file_);
  EXPECT_THAT(ini.ReadSection("window"), ElementsAre("Top", "left", "HEIGHT", "Width", "State"));
  EXPECT_TRUE(ini.SectionExists("Option"));
  EXPECT_FALSE(ini.SectionExists("ChartF5"));  // only a comment
  EXPECT_FALSE(ini.SectionExists("ChartF6"));
  EXPECT_TRUE(ini.ReadSection("ChartF5").empty());
}

TEST_F(IniFileTest, AMissingFileReadsAsEmptyAndIsCreatedByTheFirstWrite) {
  TIniFile ini(file_);
  EXPECT_EQ(ini.ReadInteger("HiddenOption", "Timeout", 5), 5);
  EXPECT_FALSE(fs::exists(file_));
  ini.WriteInteger("Window", "Top", -4);
  ini.WriteBool("Option", "OnLine", true);
  ini.WriteBool("Option", "StayOnTop", false);
  EXPECT_EQ(FileBytes(), "[Window]\r\nTop=-4\r\n[Option]\r\nOnLine=1\r\nStayOnTop=0\r\n");
}

TEST_F(IniFileTest, WritesChangeOnlyTheirLinesAndGoThroughAtOnce) {
  WriteBytes(kHandWritten);
  TIniFile ini(file_);
  ini.WriteInteger("WINDOW", "LEFT", 45);                  // keeps "  left =" as written
  ini.WriteString("Window", "Maximized", "1");             // after the last key, before the blank
  ini.WriteString("Foreign", "Name", "\x83\x41\x83\x61");  // "アヂ"
  ini.WriteString("ChartF5", "Caption", "F5");             // right after the header
  ini.WriteString("PrintChart", "MarginLeft", "5");        // a new section at the end

  const std::string expected =
      "; Dyadmark settings\r\n"
      "\r\n"
      "[Window]\r\n"
      "Top=120\r\n"
      "  left =45\r\n"
      "HEIGHT=0x1F4\r\n"
      "Width=abc\r\n"
      "State=2\r\n"
      "Maximized=1\r\n"
      "\r\n"
      "[ option ]\r\n"
      "OnLine=0\r\n"
      "StayOnTop=1\r\n"
      "Ticvane=-3\r\n"
      "Caption=\"  quoted  \"\r\n"
      "Single='x'\r\n"
      "Lone=\"x\r\n"
      "Empty=\r\n"
      "[Foreign]\r\n"
      "Name=\x83\x41\x83\x61\r\n"
      "junk line without equals\r\n"
      "\x83\x41=katakana a\r\n"
      "[ChartF5]\r\n"
      "Caption=F5\r\n"
      "; only a comment\r\n"
      "[\x83\x5d]\r\n"
      "Inside=1\r\n"
      "[\x83\x5d\r\n"
      "Stray=1\r\n"
      "[PrintChart]\r\n"
      "MarginLeft=5\r\n";
  EXPECT_EQ(FileBytes(), expected);
  EXPECT_EQ(ini.ReadInteger("Window", "Left", 0), 45);
  EXPECT_EQ(TIniFile(file_).ReadString("foreign", "name", ""), "\x83\x41\x83\x61");
  // Nothing but the settings file is left in the directory.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

TEST_F(IniFileTest, EraseSectionAndDeleteKeyRemoveTheirLines) {
  WriteBytes("[A]\r\nx=1\r\n; note\r\n\r\n[B]\r\ny=2\r\nz=3\r\n[a]\r\nw=4\r\n[C]\r\nv=5\r\n");
  TIniFile ini(file_);
  ini.EraseSection("A");  // both sections of that name, with their comments
  EXPECT_EQ(FileBytes(), "[B]\r\ny=2\r\nz=3\r\n[C]\r\nv=5\r\n");
  ini.DeleteKey("b", "Y");
  EXPECT_EQ(FileBytes(), "[B]\r\nz=3\r\n[C]\r\nv=5\r\n");
  ini.DeleteKey("B", "missing");
  ini.DeleteKey("Missing", "z");
  ini.EraseSection("Missing");
  EXPECT_EQ(FileBytes(), "[B]\r\nz=3\r\n[C]\r\nv=5\r\n");
  EXPECT_FALSE(ini.SectionExists("A"));
  EXPECT_EQ(ini.ReadString("B", "y", "gone"), "gone");
}

TEST_F(IniFileTest, AFileWithBareLineFeedsIsWrittenBackWithCrLf) {
  WriteBytes("[Window]\nTop=1\n; kept\nLeft=2");
  TIniFile ini(file_);
  EXPECT_EQ(ini.ReadInteger("Window", "Left", 0), 2);
  ini.WriteInteger("Window", "Top", 1);  // the same value: the file is still brought to CR LF
  EXPECT_EQ(FileBytes(), "[Window]\r\nTop=1\r\n; kept\r\nLeft=2\r\n");
}

TEST_F(IniFileTest, ValuesAreWrittenAsGivenAndReadByTheReadingRules) {
  TIniFile ini(file_);
  struct Case {
    const char* value;
    const char* line;      // as written to the file
    const char* readBack;  // after the program starts again
  };
  const Case cases[] = {
      {"plain", "k=plain", "plain"},
      {"  padded  ", "k=  padded  ", "padded"},
      {"   ", "k=   ", ""},
      {"\"quoted\"", "k=\"quoted\"", "quoted"},
      {"'single'", "k='single'", "single"},
      {" \"", "k= \"", "\""},
      {"", "k=", ""},
  };
  for (const Case& c : cases) {
    ini.WriteString("S", "k", c.value);
    EXPECT_EQ(FileBytes(), std::string("[S]\r\n") + c.line + "\r\n") << c.value;
    EXPECT_EQ(TIniFile(file_).ReadString("S", "k", "<default>"), c.readBack) << c.value;
  }
}

TEST_F(IniFileTest, NamesAndValuesALineCannotHoldAreRefused) {
  WriteBytes("[S]\r\nk=1\r\n");
  TIniFile ini(file_);
  EXPECT_THROW(ini.WriteString("S", "k", "a\r\n[Evil]\r\nx=1"), EIniFileException);
  EXPECT_THROW(ini.WriteString("S\n[T]", "k", "1"), EIniFileException);
  EXPECT_THROW(ini.WriteString("S", "", "1"), EIniFileException);
  EXPECT_THROW(ini.WriteString("S", "a=b", "1"), EIniFileException);
  EXPECT_THROW(ini.WriteString("S", ";k", "1"), EIniFileException);
  EXPECT_THROW(ini.WriteString("S", "[k]", "1"), EIniFileException);
  // A header "[S\x83]" would read its "]" as the second byte of a character.
  EXPECT_THROW(ini.WriteString("S\x83", "k", "1"), EIniFileException);
  EXPECT_THROW(ini.WriteString("\x83\x5D\x83", "k", "1"), EIniFileException);
  // Refused for what it holds: no system error to tell.
  try {
    ini.WriteString("S", "", "1");
  } catch (const EIniFileException& error) {
    EXPECT_EQ(error.Error(), 0);
  }
  EXPECT_EQ(FileBytes(), "[S]\r\nk=1\r\n");
  EXPECT_EQ(ini.ReadString("S", "k", ""), "1");
}

TEST_F(IniFileTest, ASectionNameEndingInATwoByteCharacterReadsBack) {
  TIniFile ini(file_);
  ini.WriteString("\x83\x5D", "k", "1");  // "ゾ", second byte "]"
  ini.WriteString("\x83\x5D", "k", "2");
  EXPECT_EQ(FileBytes(), "[\x83\x5D]\r\nk=2\r\n");
  EXPECT_EQ(ini.ReadString("\x83\x5D", "k", ""), "2");
}

TEST_F(IniFileTest, AReadOnlyFileIsNeverReplaced) {
  const std::string old = "[Window]\r\nTop=120\r\n";
  WriteBytes(old);
  ASSERT_EQ(::chmod(file_.c_str(), 0444), 0);
  TIniFile ini(file_);
  try {
    ini.WriteInteger("Window", "Top", 5);
    FAIL() << "no exception";
  } catch (const EIniFileException& error) {
    EXPECT_EQ(std::string(error.what()), CannotWrite(file_));
    EXPECT_EQ(error.Error(), EACCES);
  }
  EXPECT_THROW(ini.DeleteKey("Window", "Top"), EIniFileException);
  EXPECT_EQ(FileBytes(), old);
  EXPECT_EQ(ini.ReadInteger("Window", "Top", 0), 120);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

TEST_F(IniFileTest, AFailedWriteThrowsAndKeepsTheOldFile) {
  const std::string old = "[Window]\r\nTop=120\r\n";
  WriteBytes(old);
  TIniFile ini(file_);
  // The file's directory is moved away and a plain file stands in its place.
  const fs::path moved = dir_.string() + ".moved";
  fs::rename(dir_, moved);
  std::ofstream(dir_) << "not a directory";

  try {
    ini.WriteInteger("Window", "Top", 5);
    FAIL() << "no exception";
  } catch (const EIniFileException& error) {
    EXPECT_EQ(std::string(error.what()), CannotWrite(file_));
    EXPECT_EQ(error.Error(), ENOTDIR);
  }
  EXPECT_THROW(ini.WriteString("Window", "Left", "1"), EIniFileException);
  EXPECT_EQ(BytesOf(moved / "Dyadmark.ini"), old);
  EXPECT_EQ(std::distance(fs::directory_iterator(moved), fs::directory_iterator()), 1);
}

TEST_F(IniFileTest, AWriteStoppedPartWayKeepsTheOldFileAndWhatItReads) {
  const std::string old = "[Window]\r\nTop=120\r\n";
  WriteBytes(old);
  TIniFile ini(file_);
  {
    FileSizeLimit limit(old.size());
    EXPECT_THROW(ini.WriteString("Window", "Caption", "a value that makes the file longer"),
                 EIniFileException);
  }
  EXPECT_EQ(FileBytes(), old);
  EXPECT_EQ(ini.ReadInteger("Window", "Top", 0), 120);
  EXPECT_EQ(ini.ReadString("Window", "Caption", "none"), "none");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

TEST_F(IniFileTest, TwoObjectsOnOneFileKeepEachOthersWrites) {
  WriteBytes("[Window]\r\nTop=120\r\n");
  TIniFile main(file_);
  TIniFile registry(file_);
  EXPECT_EQ(main.ReadInteger("Window", "Top", 0), 120);
  registry.WriteString("PairReg", "Page", "3");
  main.WriteInteger("Window", "Top", 7);
  EXPECT_EQ(main.ReadString("PairReg", "Page", ""), "3");
  EXPECT_EQ(FileBytes(), "[Window]\r\nTop=7\r\n[PairReg]\r\nPage=3\r\n");

  // A change made to the file from outside is what the next read sees.
  WriteBytes("[Window]\r\nTop=9\r\n");
  EXPECT_EQ(main.ReadInteger("Window", "Top", 0), 9);
  EXPECT_FALSE(registry.SectionExists("PairReg"));
}

TEST_F(IniFileTest, TheErrorNamesTheFileInCodePage932) {
  // "設定" is E8 A8 AD E5 AE 9A in UTF-8 (the file system) and 90 DD 92 E8 in
  // code page 932 (the message).
  const fs::path file = dir_ / "\xE8\xA8\xAD\xE5\xAE\x9A" / "Dyadmark.ini";
  fs::create_directories(file);  // a directory where the file should be
  TIniFile ini(file);
  try {
    ini.WriteString("S", "k", "1");
    FAIL() << "no exception";
  } catch (const EIniFileException& error) {
    EXPECT_EQ(std::string(error.what()),
              dir_.string() + "/\x90\xDD\x92\xE8/Dyadmark.ini" +
                  " \x82\xc9\x8f\x91\x82\xab\x8d\x9e\x82\xdf\x82\xdc\x82\xb9\x82\xf1");
    EXPECT_EQ(error.Error(), EISDIR);
  }
}

TEST_F(IniFileTest, AFileThatCannotBeReadIsNeverWrittenOver) {
  // A directory where the file should be: it exists but reads as nothing.
  fs::create_directory(file_);
  std::ofstream(file_ / "inside") << "kept";
  TIniFile ini(file_);
  EXPECT_EQ(ini.ReadInteger("Window", "Top", 50), 50);
  EXPECT_THROW(ini.WriteInteger("Window", "Top", 5), EIniFileException);
  EXPECT_THROW(ini.EraseSection("Window"), EIniFileException);
  EXPECT_EQ(BytesOf(file_ / "inside"), "kept");
}

TEST_F(IniFileTest, AWriteKeepsThePermissionsOfTheFile) {
  WriteBytes("[S]\r\nk=1\r\n");
  ASSERT_EQ(::chmod(file_.c_str(), 0640), 0);
  TIniFile ini(file_);
  ini.WriteString("S", "k", "2");
  struct stat status {};
  ASSERT_EQ(::stat(file_.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0640u);
}

}  // namespace
}  // namespace vcl
