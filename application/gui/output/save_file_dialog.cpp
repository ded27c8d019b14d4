#include "output/save_file_dialog.h"

#include <QFileDialog>

#include "widgets/accessible_names.h"

std::optional<QString> AskSaveFileName(QWidget* parent, const SaveFileQuestion& question) {
  QFileDialog dialog(parent);
  dialog.setObjectName(QString::fromLatin1(question.component));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setDefaultSuffix(question.defaultSuffix);
  dialog.setNameFilters(question.filters);
  dialog.selectFile(question.proposedName);
  NameControlsForAccessibility(&dialog);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty()) return std::nullopt;
  return chosen.first();
}
