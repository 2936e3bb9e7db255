// The folder tests that the search screen makes before it walks a folder:
// whether one is there, and the cut of a full path into its parent and its
// last name. Stateless; any thread may call them.
#pragma once

// True when nothing of that name is there, or a file that is no folder. A
// folder that cannot be opened for want of descriptors or memory may well be
// there, and the search says why it ended instead.
bool FolderMissing(const char* pszName);

// Cuts the last name off a full path, keeping the separator of a root. The
// path is code page 932: a byte 0x5C that ends a double-byte character is no
// separator.
void CutLastName(char* pszPath);

// Drops the separators that end a full path, a root's own separator kept.
void DropEndSeparators(char* pszPath);
