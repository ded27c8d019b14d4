#include "output/list_export_commands.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <filesystem>

#include "data/file_io.h"
#include "output/save_file_dialog.h"
#include "widgets/qt_cp932.h"

namespace {

ExportLineSource LinesOf(const std::vector<std::string>& lines) {
  return [&lines](const std::function<void(std::string_view)>& line) {
    for (const std::string& text : lines) line(text);
  };
}

}  // namespace

void CopyLinesToClipboard(const std::vector<std::string>& lines) {
  CopyLinesToClipboard(LinesOf(lines));
}

void CopyLinesToClipboard(const ExportLineSource& lines) {
  std::string text;
  lines([&text](std::string_view line) {
    text += line;
    text += "\r\n";
  });
  QGuiApplication::clipboard()->setText(QFromCp932(text));
}

bool SaveLinesToChosenFile(QWidget* parent, const std::vector<std::string>& lines,
                           const std::string& proposedName, std::string& error) {
  return SaveLinesToChosenFile(parent, LinesOf(lines), proposedName, error);
}

bool SaveLinesToChosenFile(QWidget* parent, const ExportLineSource& lines,
                           const std::string& proposedName, std::string& error) {
  error.clear();
  const std::optional<QString> chosen = AskSaveFileName(
      parent, {"SaveDialog",
               QStringLiteral("csv"),
               {QStringLiteral(u"データファイル(*.csv)"), QStringLiteral(u"全てのファイル(*.*)")},
               QFromCp932(proposedName)});
  if (!chosen) return false;
  const QByteArray file = QFile::encodeName(*chosen);
  return WriteFileAtomicallyFrom(
      std::filesystem::path(file.toStdString()),
      [&lines](const std::function<void(std::string_view)>& write) {
        lines([&write](std::string_view line) {
          write(line);
          write("\r\n");
        });
      },
      &error);
}
