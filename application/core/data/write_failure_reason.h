#pragma once
// Why a file could not be written, in the program's own words (code page
// 932), for the messages that name the file: the system's own texts are
// English.

#include <string>

// The reason for the errno value `error`; an unlisted value gives a general
// text with its number.
std::string WriteFailureReason(int error);
