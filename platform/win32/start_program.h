#pragma once
// Starts another program without waiting for it and without a shell.

#include <QString>
#include <filesystem>

namespace win32 {

// Starts `program` with exactly one argument, `argument` (passed in the
// locale's encoding, UTF-8), in the current directory with the current
// environment. The program runs on its own: nothing waits for it, and it
// leaves no zombie behind when it ends. False when it could not be started
// (missing, not executable).
bool StartProgram(const std::filesystem::path& program, const QString& argument);

}  // namespace win32
