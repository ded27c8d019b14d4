#pragma once
// Screen readers and scripts from outside find the program's controls by
// their accessible names. Every edit, combo box, button, list, check box,
// slider and spin box gets one: the text of its label (a buddy label, or the
// label beside it in a form layout), else its own text, else its component
// name. A name that another control of the window already carries gets the
// component name added, so no two controls share one.

class QWidget;

// Names every control below `root` that has no accessible name yet. Call it
// once the window's widgets are in place; calling it again names only the
// controls added since.
void NameControlsForAccessibility(QWidget* root);
