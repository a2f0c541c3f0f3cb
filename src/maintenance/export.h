#pragma once
// The export of the application data to a dated text file in the current folder.

// Writes name, code and vendor e-mail of every application, in index order, to the export
// file (replacing one of the same name), tells the user its name and opens it with the shell.
void Export();
