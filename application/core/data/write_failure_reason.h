#pragma once
// Why a file could not be written, in the program's own words (code page
// 932), for the messages that name the file: the system's own texts are
// English.

#include <string>

#include "vcl/inifile.h"

// The reason for the errno value `error`; an unlisted value gives a general
// text with its number.
std::string WriteFailureReason(int error);

// The message of a settings file that could not be written, with the reason
// when the system gave one: "<file> に書き込めません: <reason>".
std::string SettingsWriteMessage(const vcl::EIniFileException& failure);
