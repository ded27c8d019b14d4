#pragma once
// A fresh program directory for one window test, removed afterwards, with
// byte-exact reads and writes of its files.

#include <QString>
#include <QTemporaryDir>
#include <string>
#include <string_view>

class GuiTestDir {
 public:
  GuiTestDir();

  // The directory with a trailing "/", as the main window takes it.
  QString ExeDir() const;
  std::string Path(const char* name) const;

  void Write(const char* name, std::string_view bytes) const;
  // The file's bytes, or "<missing>".
  std::string Read(const char* name) const;
  bool Exists(const char* name) const;
  void MakeDirectory(const char* name) const;

 private:
  QTemporaryDir dir_;
};
