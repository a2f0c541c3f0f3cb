#pragma once
// The sample data the screenshot programs show: a user, four applications and a template,
// written into the current folder.

void WriteSampleData();
