#include "gui_test_dir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <stdexcept>

GuiTestDir::GuiTestDir() {
  if (!dir_.isValid()) throw std::runtime_error("no temporary directory");
}

QString GuiTestDir::ExeDir() const { return dir_.path() + u'/'; }

std::string GuiTestDir::Path(const char* name) const {
  return QFile::encodeName(dir_.filePath(QString::fromUtf8(name))).toStdString();
}

void GuiTestDir::Write(const char* name, std::string_view bytes) const {
  QFile file(dir_.filePath(QString::fromUtf8(name)));
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
    throw std::runtime_error("cannot write test file");
  }
  file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

std::string GuiTestDir::Read(const char* name) const {
  QFile file(dir_.filePath(QString::fromUtf8(name)));
  if (!file.open(QIODevice::ReadOnly)) return "<missing>";
  return file.readAll().toStdString();
}

bool GuiTestDir::Exists(const char* name) const {
  return QFileInfo::exists(dir_.filePath(QString::fromUtf8(name)));
}

void GuiTestDir::MakeDirectory(const char* name) const {
  QDir(dir_.path()).mkdir(QString::fromUtf8(name));
}
