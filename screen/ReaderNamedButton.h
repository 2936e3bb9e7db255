// A push button that a screen reader names otherwise than its painted text:
// the history bar's 「前へ」 is 「前の検索ワード」 to a reader, so that it is not
// taken for the page strip's 「前へ」. The button's window procedure is
// replaced by one that answers WM_GETOBJECT (OBJID_CLIENT) with the system's
// own object for the button, wrapped so that only its name differs.
//
// Threads: the window's thread alone names buttons and answers for them.
#pragma once

#include <windows.h>

// pszName: code page 932 text. A reader that asked before is told of the
// new name.
void NameButtonForReaders(HWND hButton, const char* pszName);
