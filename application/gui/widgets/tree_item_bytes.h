#pragma once
// A tree-widget cell that shows code page 932 bytes and keeps them beside the
// text. What goes back to a file or an export is the kept bytes: a character
// that the code page holds under two codes would come back from the shown
// text in the other one.

#include <string>

class QTreeWidgetItem;

// Shows `bytes` in the cell and keeps them.
void SetCellBytes(QTreeWidgetItem& item, int column, const std::string& bytes);
// The bytes kept in the cell ("" for a cell set otherwise).
std::string CellBytes(const QTreeWidgetItem& item, int column);
