#pragma once
// The rows of the pair registry's lists. Each row keeps its three texts as
// code page 932 bytes beside what the list shows, so that a pair goes back to
// the settings file byte for byte.

#include <vector>

#include "registry/pair_lists.h"

class QTreeWidget;
class QTreeWidgetItem;

// Column 0 holds the hidden caption, 1 and 2 the code-and-name texts.
PairItem ItemPair(const QTreeWidgetItem& item);
// The rows with their selection and which one is current.
std::vector<PairRow> ListRows(const QTreeWidget& list);
// Replaces the rows; the selected rows are selected and a focused row
// becomes the current one.
void ShowRows(QTreeWidget& list, const std::vector<PairRow>& rows);
