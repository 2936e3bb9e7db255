// What the command-line tool says about folders and files it cannot read.
#pragma once

#include <string>

class CSearchEngin;

// Empty when the folder "DATA" can be walked; otherwise what is wrong with it.
// Throws std::bad_alloc when memory ran out before that could be told.
std::string ProblemWithDataFolder();

// Makes the engine's walk write one warning line on stderr for each folder or
// file it cannot read; paths in UTF-8, or with `raw` as the bytes held.
void WarnOfUnreadablePaths(CSearchEngin& engine, bool raw);
