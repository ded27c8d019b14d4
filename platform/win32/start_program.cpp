#include "win32/start_program.h"

#include <QFile>
#include <QProcess>
#include <QStringList>

namespace win32 {

bool StartProgram(const std::filesystem::path& program, const QString& argument) {
  // Detached: Qt starts it through an intermediate process that it reaps at
  // once, so the program belongs to init from then on.
  return QProcess::startDetached(QFile::decodeName(QByteArray::fromStdString(program.string())),
                                 QStringList{argument});
}

}  // namespace win32
