#pragma once
// The history rule of a combo box with a typed text: the text goes to the
// top of its items (kept at most kRecentListLimit after an addition).

class QComboBox;

// Applies AddRecentToList to the box's items; `tag` becomes 1. The box's
// text stays as it is.
void AddRecentToCombo(QComboBox& box, int& tag);
