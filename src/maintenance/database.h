#pragma once
// Backup, restore and reindex, as the Database dialog's buttons run them.

// Backs up the tables (backup_rules.h); once it has done all it should, says so and ends the
// Database dialog, otherwise it says what was not done and the dialog stays open.
void Backup();
// Restores the tables from the backup and says what was done.
void Restore();
// Rebuilds the application index.
void Reindex();
