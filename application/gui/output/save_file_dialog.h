#pragma once
// The program's save dialog: asks for the name of a file to write, proposing
// one, and asks before an existing file is replaced. Main thread only.

#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

struct SaveFileQuestion {
  const char* component = "SaveDialog";  // the dialog's component name
  QString defaultSuffix;                 // added to a name typed without one
  QStringList filters;                   // "Description(*.ext)", the first one chosen
  QString proposedName;
};

// The chosen file's path, or nullopt when the user cancels.
std::optional<QString> AskSaveFileName(QWidget* parent, const SaveFileQuestion& question);
