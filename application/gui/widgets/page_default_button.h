#pragma once
// The default button of a page: Enter or Return on any control of the page
// presses it, unless another push button of the page has the focus, which the
// key then presses instead. A drop-down that is open keeps the key to pick its
// item, and a disabled button ignores the press.

#include <QPushButton>
#include <QWidget>

// The key's shortcuts are owned by `page`; `button` lies on it. The drop-downs
// are those of the combo boxes on the page now.
void MakePageDefaultButton(QWidget& page, QPushButton& button);
