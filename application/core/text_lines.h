#pragma once
// Lines of the program's text files.

#include <string>
#include <string_view>
#include <vector>

// The lines of `text`: a line ends at CR, at LF or at a CR LF pair, and the
// ends are not kept; a last line without an end is kept too, an end at the
// very end of the text makes no empty line. Every byte is kept, zero bytes
// included.
std::vector<std::string> SplitLines(std::string_view text);

// The lines joined with CR LF after every one of them.
std::string JoinLinesCrlf(const std::vector<std::string>& lines);
