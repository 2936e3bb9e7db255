// The file system's form of the program's paths.
#pragma once

#include <string>

// Converts a code page 932 path to the file system's UTF-8; "\" separators
// become "/". False when the path has no UTF-8 form.
bool Utf8PathFromCp932(const char* path, std::string& out);

// A path as the listing gave it, in UTF-8, found part by part where the
// converted path names nothing: a part that is not there as converted is the
// one name in its folder with that code page 932 form. False when some part
// is not found (errno ENOENT), or with the error of a folder on the way that
// cannot be listed (EMFILE, ENOMEM ...). Defined in listed_system_posix.cpp over the
// routine both builds share (listed_path.cpp).
bool FindListedPath(const char* cp932Path, std::string& utf8);

// The same for the folder of a path: every part but the last.
bool FindListedFolder(const char* cp932Path, std::string& utf8Folder);

// The file system's path that a code page 932 path names, as every open
// finds it: a marked path by its keys alone (its text may name another file,
// or none); any other as converted, or, where that names nothing, as the one
// listed name of its form ("〜" listed as 0x81 0x60, which converts back to
// "～"). False, with errno set, when nothing is found.
bool OpenablePath(const char* cp932Path, std::string& utf8);
