#pragma once
// The program's icon, drawn rather than stored: two price lines of a pair,
// blue and red, moving together over a chart sheet.

#include <QPixmap>
#include <QSize>

// The icon at `size` pixels, on a transparent background.
QPixmap ProgramIconPixmap(QSize size);
