// The face in which the Windows build makes the program's fixed-pitch font,
// and the scale of a window.
#pragma once

#include <string>

#include <windows.h>

namespace sorahiki::win32 {

// The face to make a font in that asks for `face`. A Japanese fixed-pitch
// Gothic of a fixed list that the system lacks gives way to the first of the
// list that it has, so that the same face is drawn on every system and from
// the very first run; any other face is made as asked.
std::wstring FaceToMake(const std::wstring& face);

}  // namespace sorahiki::win32
