#pragma once
// A settings file with the semantics of Windows private-profile files:
// sections and keys matched ignoring ASCII case (never folding a code page 932
// trail byte), values trimmed with one pair of enclosing quotes dropped,
// integers decimal or "0x" hexadecimal with the default on anything else,
// booleans written "1"/"0" and read as integer != 0. Outside an update and a
// reading, every read and write sees the file as it is at that moment (no copy
// is kept between calls, so several objects on one file stay in step), and
// every write goes through to the file at once; lines the writer did not touch
// are kept byte for byte.
// A save of many keys opens an update (TIniFileUpdate): its writes are made in
// memory and the file is replaced once when it commits, so a kill at any moment
// leaves the old file or the new one, never a mix of the two. Many reads in a
// row open a reading (TIniFileReading): the file is read once, and the reads
// see it as it was then with this object's own writes since.
// The file is code page 932 with CR LF line ends and no byte-order mark, and is
// replaced through a temporary file, so a failed write keeps the old file.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vcl {

namespace inifile_detail {
struct Edit;
}

// A write that could not be done. what() is "<file> に書き込めません" in code
// page 932 bytes (the file name converted too); Error() is the errno that
// stopped it, 0 when the write was refused for what it would have written.
class EIniFileException : public std::runtime_error {
 public:
  explicit EIniFileException(const std::string& message, int error = 0)
      : std::runtime_error(message), error_(error) {}
  int Error() const { return error_; }

 private:
  int error_;
};

class TIniFile {
 public:
  // Names `file`; nothing is read yet. A missing or unreadable file reads as
  // empty. A file that exists but cannot be read is never written over: every
  // write then throws EIniFileException, so its contents are not lost. Writes
  // that overlap (two threads, two programs) may lose one of them.
  explicit TIniFile(std::filesystem::path file);
  ~TIniFile();
  TIniFile(const TIniFile&) = delete;
  TIniFile& operator=(const TIniFile&) = delete;

  const std::filesystem::path& FileName() const;

  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view defaultValue) const;
  int32_t ReadInteger(std::string_view section, std::string_view key, int32_t defaultValue) const;
  bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) const;

  // Throw EIniFileException when the file cannot be written (a read-only file
  // included), and also when a name or value cannot be held by a line of the
  // file (a CR or LF anywhere, an empty key, a key with "=" or starting "[" or
  // ";", a section name ending in a lead byte without its second byte, which
  // would take the closing "]" as that byte); the file and what this object
  // reads are then unchanged. Names are trimmed; the value is written as given,
  // so blanks at its ends and one pair of enclosing quotes are lost on reading,
  // as with the profile functions.
  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, int32_t value);
  void WriteBool(std::string_view section, std::string_view key, bool value);

  // The keys of `section`, in file order.
  std::vector<std::string> ReadSection(std::string_view section) const;
  // True only when the section holds at least one key.
  bool SectionExists(std::string_view section) const;
  // Removes the section and its keys. Throws EIniFileException.
  void EraseSection(std::string_view section);
  // Removes one key. Throws EIniFileException.
  void DeleteKey(std::string_view section, std::string_view key);

  // An update reads the file once; until it ends, this object's reads and
  // writes work on that copy in memory (a write that cannot be held by a line
  // still throws at once) and the file is left alone. Updates nest: only the
  // outermost one writes. EndUpdate of the outermost replaces the file once
  // with the writes made on top of the file as it is then, so writes other
  // objects made in between are kept; it throws EIniFileException when the
  // file cannot be written, and the writes are then dropped. CancelUpdate
  // drops the writes made since the matching BeginUpdate.
  void BeginUpdate();
  void EndUpdate();
  void CancelUpdate();

  // Many reads in a row (a whole section key by key): from BeginReading to
  // the matching EndReading the file is read once, and reads see it as it
  // was then with this object's own writes since. Readings nest.
  void BeginReading() const;
  void EndReading() const;

 private:
  struct Update;
  struct Reading;
  // What reads see now: the open update's copy, the reading's, or the file.
  template <class Read>
  auto WithDocument(Read read) const;
  // After a write went to the file: an open reading sees it too.
  void RefreshReading(const std::vector<std::string>& lines) const;

  // The file as it is now.
  struct Snapshot {
    std::vector<std::string> lines;
    bool unreadable = false;     // the file exists but could not be read
    int readError = 0;           // why, when unreadable
    bool fileHoldsLines = true;  // the file's bytes are exactly `lines` in CR LF form
  };
  Snapshot Load() const;
  // Makes one write: in the open update, or on the file at once.
  void Make(inifile_detail::Edit edit);
  // Writes `lines` over the file read as `before`, unless that changes no
  // byte. Throws EIniFileException, leaving the file as it was.
  void Commit(const Snapshot& before, const std::vector<std::string>& lines) const;

  std::filesystem::path file_;
  std::unique_ptr<Update> update_;
  mutable std::unique_ptr<Reading> reading_;
};

// One update over a scope: Commit ends it, and leaving the scope without a
// Commit (an exception on the way) cancels it.
class TIniFileUpdate {
 public:
  explicit TIniFileUpdate(TIniFile& ini) : ini_(ini) { ini_.BeginUpdate(); }
  ~TIniFileUpdate() {
    if (open_) ini_.CancelUpdate();
  }
  TIniFileUpdate(const TIniFileUpdate&) = delete;
  TIniFileUpdate& operator=(const TIniFileUpdate&) = delete;

  // Throws EIniFileException as EndUpdate does.
  void Commit() {
    open_ = false;
    ini_.EndUpdate();
  }

 private:
  TIniFile& ini_;
  bool open_ = true;
};

// One reading over a scope.
class TIniFileReading {
 public:
  explicit TIniFileReading(const TIniFile& ini) : ini_(ini) { ini_.BeginReading(); }
  ~TIniFileReading() { ini_.EndReading(); }
  TIniFileReading(const TIniFileReading&) = delete;
  TIniFileReading& operator=(const TIniFileReading&) = delete;

 private:
  const TIniFile& ini_;
};

}  // namespace vcl
