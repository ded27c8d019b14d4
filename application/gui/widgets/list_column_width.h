#pragma once
// Default column widths of the lists, fitted to the program's font. The forms
// give them for the proportional Gothic of 12 pixels, whose digits are 6
// pixels wide, in native report lists that keep about 6 pixels free on each
// side of a text. Our Gothic draws wider digits and our item views keep a
// smaller margin, so a form width taken as it stands cuts dates and numbers.

class QAbstractItemView;
class QAbstractScrollArea;

// `formWidth` fitted to `list`'s font and item margins: the part beyond the
// native padding grows with the width of the font's digits, and the view's
// own margins are added; the result is never below `formWidth`. Widths no larger than the padding
// (a column hidden or kept narrow on purpose) stay as they are. Apply it to defaults only: a width
// the user stored is kept as stored.
int FittedColumnWidth(int formWidth, const QAbstractItemView& list);

// The default width of a pane that `list` fills, fitted as its columns are:
// the sum of its default columns as fitted (`fittedColumns`) with its frame
// and a vertical scroll bar beside them, so that they show whole, never below
// the form's `formWidth`. Apply it to defaults only, as above.
int FittedListWidth(int formWidth, int fittedColumns, const QAbstractScrollArea& list);
