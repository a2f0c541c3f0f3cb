#pragma once
// Backup and restore of the table and index files in the current folder, and what the user
// is told of each: file work with no windows.

#include <array>
#include <string>
#include <string_view>

// The maintained files, in the order they are handled. Names are matched without regard to
// letter case, so "application.idx" and "Application.idx" are one file; a file that must be
// created gets the name given here, the one the store uses.
struct MaintainedFile {
    std::string_view name;
    bool optional; // "user.idx" belongs to no table of ours: copied when present, else ignored
};
inline constexpr std::array<MaintainedFile, 4> MaintainedFiles = {{
    {"Application.dbf", false},
    {"User.dbf", false},
    {"Application.idx", false},
    {"user.idx", true},
}};

// The backup folder inside the current folder; a backup creates it when it is missing.
inline constexpr std::string_view BackupFolder = "BNG";

// What a backup or restore did, in the words the user is told: a notice when it did all it
// should, else a warning.
struct MaintenanceOutcome {
    bool complete = false;
    std::string text;
};

// Copies every maintained file that exists into the backup folder, each replacing its
// earlier copy whole or not at all; names the files that could not be copied.
MaintenanceOutcome BackUpTables();

// Copies every backup copy over its live file, each whole or not at all; a file without a
// backup copy is left as it is, and the text says which files those were.
MaintenanceOutcome RestoreTables();
