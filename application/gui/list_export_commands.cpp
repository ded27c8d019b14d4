#include "list_export_commands.h"

#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <filesystem>

#include "accessible_names.h"
#include "file_io.h"
#include "qt_cp932.h"
#include "text_lines.h"

void CopyLinesToClipboard(const std::vector<std::string>& lines) {
  QGuiApplication::clipboard()->setText(QFromCp932(JoinLinesCrlf(lines)));
}

bool SaveLinesToChosenFile(QWidget* parent, const std::vector<std::string>& lines,
                           const std::string& proposedName) {
  QFileDialog dialog(parent);
  dialog.setObjectName(QStringLiteral("SaveDialog"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setDefaultSuffix(QStringLiteral("csv"));
  dialog.setNameFilters(
      {QStringLiteral(u"データファイル(*.csv)"), QStringLiteral(u"全てのファイル(*.*)")});
  dialog.selectFile(QFromCp932(proposedName));
  NameControlsForAccessibility(&dialog);
  if (dialog.exec() != QDialog::Accepted) return false;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty()) return false;
  const QByteArray file = QFile::encodeName(chosen.first());
  WriteFileAtomically(std::filesystem::path(file.toStdString()), JoinLinesCrlf(lines));
  return true;
}
