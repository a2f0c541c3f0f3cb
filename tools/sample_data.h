#pragma once
// The sample data the screenshot programs show: a user, four applications and a template,
// written into the current folder.

void WriteSampleData();

// A spreadsheet's list of applications to import over the sample data, a row of each
// verdict: one unchanged, one overwrite, two new and three refused. Its file name.
const char* WriteSampleImport();
