#pragma once
// The two commands of every list export: copy its lines to the clipboard, or
// write them to a file the user picks in a save dialog. Lines are code page
// 932 text; both ways end every line with CR LF, the last one too. Main
// thread only.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

class QWidget;

// An export's lines as it makes them: it hands each line, without its line
// end, to the sink it is given.
using ExportLineSource = std::function<void(const std::function<void(std::string_view)>& line)>;

// Puts the lines on the clipboard as plain text.
void CopyLinesToClipboard(const std::vector<std::string>& lines);
void CopyLinesToClipboard(const ExportLineSource& lines);

// Shows the save dialog ("SaveDialog": default extension "csv", data files
// or all files, a confirmation before an existing file is replaced) with
// `proposedName` (code page 932, see ExportFileName) and writes the lines
// to the chosen file as code page 932 bytes without a byte-order mark,
// through a temporary file, so a failed write leaves the old file as it was.
// True once written. False when the user cancels (nothing written, `error`
// left empty) or when the file cannot be written (`error` then says why, in
// code page 932).
bool SaveLinesToChosenFile(QWidget* parent, const std::vector<std::string>& lines,
                           const std::string& proposedName, std::string& error);
// The same with the lines written to the file as they are made, none of them
// kept: for a list too long to be held as texts.
bool SaveLinesToChosenFile(QWidget* parent, const ExportLineSource& lines,
                           const std::string& proposedName, std::string& error);
