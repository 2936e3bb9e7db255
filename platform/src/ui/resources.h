// The program's compiled resources (the .res file that windres makes from
// res/sorahiki.rc, embedded in the build), read in the standard binary
// formats.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <windows.h>

namespace sorahiki::ui {

constexpr WORD kResourceMenu = 4;
constexpr WORD kResourceDialog = 5;

struct ResourceBytes {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
};

// Finds a resource by type and name: an ordinal (MAKEINTRESOURCEA or
// "#123") or a name, compared without case.
bool FindProgramResource(WORD type, LPCSTR name, ResourceBytes* out);
// The same in the bytes of a .res file.
bool FindResourceInFile(const ResourceBytes& file, WORD type, LPCSTR name, ResourceBytes* out);

struct DialogItem {
    DWORD style = 0;
    DWORD ex_style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    DWORD id = 0;
    std::string class_name;  // "Button", "Edit", "Static" for the ordinals
    std::string text;        // CP932
};

struct DialogTemplate {
    DWORD style = 0;
    DWORD ex_style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::string title;  // CP932
    WORD point_size = 0;
    std::string font;  // CP932
    std::vector<DialogItem> items;
};

// Reads a DLGTEMPLATEEX (or a plain DLGTEMPLATE); false when malformed.
bool ParseDialogTemplate(const ResourceBytes& bytes, DialogTemplate* out);

}  // namespace sorahiki::ui
