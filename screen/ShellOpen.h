// Opening a hit's file with the shell's "open" verb.
#pragma once

// The folder walk records paths relative to the current directory with "/"
// between the parts; the shell is given the full path that the system makes
// of it, with the separators its own file functions use.
void OpenWithShell(const char* pszPath);
