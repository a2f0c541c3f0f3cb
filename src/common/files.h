#pragma once
// File helpers shared by the store, the templates, backup and export.

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

// File names are UTF-8 text in the program; these convert at the file-system boundary.
std::filesystem::path PathFromUtf8(std::string_view name);
std::string PathToUtf8(const std::filesystem::path& path);

// The file named `name` in `folder`, its name compared without regard to letter case, so
// "template.txt" finds "Template.txt". An exact match wins over the others.
std::optional<std::filesystem::path> FindFileIgnoringCase(const std::filesystem::path& folder,
                                                          std::string_view name);

// The path to use for `name` in `folder`: the existing file of that name in any letter case,
// or, when there is none, `name` as given (a file that must be created gets that name).
std::filesystem::path ResolveFileName(std::string_view name,
                                      const std::filesystem::path& folder = ".");

// Reads a whole file. Fails (and leaves `bytes` empty) when it cannot be opened or read.
bool ReadWholeFile(const std::filesystem::path& path, std::string& bytes, std::error_code& error);

// Replaces the file's content all or nothing: the bytes go to a temporary file beside it,
// which is flushed to disk and then renamed over the old one. Whatever moment the process
// stops at, the file holds either its old content or `bytes`.
bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                         std::error_code& error);

// Puts the file `from` in the place of `to` in one step. On Windows another program holding
// `to` open (a virus scanner, a backup tool, a viewer) can refuse that for a moment, so it is
// tried again for up to about two seconds before the error is given.
bool MoveIntoPlace(const std::filesystem::path& from, const std::filesystem::path& to,
                   std::error_code& error);

// What tells one file from another on its volume (inode or file index): a file that another
// takes the place of gets a new identity, one written in place keeps it. 0 when unknown.
unsigned long long FileIdentity(const std::filesystem::path& path);

// Tests make a write fail at a given step by answering false, or stop the process there.
// The answer after the rename is ignored: by then the new content is in place.
enum class WriteStep { TemporaryCreated, DataWritten, DataSynced, Renamed };
void SetWriteStepHookForTesting(std::function<bool(WriteStep)> hook);
