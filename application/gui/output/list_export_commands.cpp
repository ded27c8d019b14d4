#include "output/list_export_commands.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <filesystem>

#include "data/file_io.h"
#include "output/save_file_dialog.h"
#include "vcl/cp932_text.h"
#include "widgets/qt_cp932.h"

void CopyLinesToClipboard(const std::vector<std::string>& lines) {
  QGuiApplication::clipboard()->setText(QFromCp932(vcl::JoinLinesCrlf(lines)));
}

bool SaveLinesToChosenFile(QWidget* parent, const std::vector<std::string>& lines,
                           const std::string& proposedName, std::string& error) {
  error.clear();
  const std::optional<QString> chosen = AskSaveFileName(
      parent, {"SaveDialog",
               QStringLiteral("csv"),
               {QStringLiteral(u"データファイル(*.csv)"), QStringLiteral(u"全てのファイル(*.*)")},
               QFromCp932(proposedName)});
  if (!chosen) return false;
  const QByteArray file = QFile::encodeName(*chosen);
  return WriteFileAtomically(std::filesystem::path(file.toStdString()), vcl::JoinLinesCrlf(lines),
                             &error);
}
