#pragma once
// Replaces a file's whole contents so that readers see either the old file or
// the new one, never a part: the bytes go to a new file beside it, are flushed
// to the disk and then renamed over the old name.

#include <filesystem>
#include <functional>
#include <string_view>
#include <system_error>

namespace vcl {

// Makes `file` hold exactly `bytes`. An existing file keeps its permission
// bits; a symbolic link is itself replaced by the new file (the file it names
// is never written). An existing file that is not writable (no write permission bit at
// all, or none for this process) is never replaced: that is a failure with
// EACCES, or EROFS on a file system mounted read-only. False when any step
// fails: the old file is then left as it was and no temporary file remains.
// Two calls for the same file may run at once; the later rename wins.
bool ReplaceFileContents(const std::filesystem::path& file, std::string_view bytes);
// The same, and on failure `error` says which system error stopped it.
bool ReplaceFileContents(const std::filesystem::path& file, std::string_view bytes,
                         std::error_code& error);

// Receives the bytes of a replacement in pieces, in order.
using ByteWriter = std::function<void(std::string_view bytes)>;
// The same, the bytes made by `produce` as it calls its writer, so that a
// large file needs no room for all of them at once. A write that fails makes
// the later ones do nothing and the whole replacement fail. What `produce`
// throws leaves the old file and no temporary file, and is thrown on.
bool ReplaceFileContentsFrom(const std::filesystem::path& file,
                             const std::function<void(const ByteWriter& write)>& produce,
                             std::error_code& error);

// Removes from `directory` the temporary files of replacements that were cut
// short (the writing process is gone); those of a running writer stay.
void RemoveLeftoverTemporaryFiles(const std::filesystem::path& directory);

}  // namespace vcl
