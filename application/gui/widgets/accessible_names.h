#pragma once
// Screen readers and scripts from outside find the program's controls by
// their accessible names. Every edit, combo box, button, list, check box,
// slider and spin box gets one: the text of its label (a buddy label, or the
// label beside it in a form layout), else its own caption, else a Japanese
// name that says what it is. Controls of one caption on different tab pages
// are told apart by the page's caption; a name that is still taken gets the
// component name added, so no two controls share one. A page tab whose
// caption a control already goes by is announced with " ページ" added.

#include <QString>

class QAbstractButton;
class QWidget;

// Names every control below `root` that has no accessible name yet. Call it
// once the window's widgets are in place; calling it again names only the
// controls added since.
void NameControlsForAccessibility(QWidget* root);

// Sets a button's caption; a button named by its caption keeps announcing
// what it shows.
void SetCaption(QAbstractButton* button, const QString& caption);

// A caption without its accelerator marks.
QString PlainCaption(QString text);
