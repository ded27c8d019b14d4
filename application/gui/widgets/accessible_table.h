#pragma once
// Screen readers announce a report-style list (a QTreeView of flat rows under
// a column header) as a table: rows and columns as its model has them, the
// header's captions as column header cells, each cell's shown text, and the
// selected rows. Qt itself announces every QTreeView as a tree.

class QTreeView;

// Announces `list` as a table from now on, also when a screen reader already
// knew it as a tree.
void AnnounceAsTable(QTreeView& list);
