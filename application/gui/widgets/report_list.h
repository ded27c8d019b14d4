#pragma once
// The header of a report-style list: fixed column order, no sorting by a
// column click, no column stretched to the list's width, narrow columns
// allowed, and optionally the first column hidden (a list whose column 0
// holds a text no one is meant to see).

class QTreeView;

void SetUpReportHeader(QTreeView& list, bool hideFirstColumn);

// Draws grid lines below and right of every cell of `list`, which owns the
// delegate that draws them.
void ShowGridLines(QTreeView& list);
