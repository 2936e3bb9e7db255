// The Windows program's entry: the start-up code hands WinMain the command
// line in the system's code page, which need not be 932; built with
// -municode, the start-up code calls this wWinMain instead, which hands the
// program's WinMain the command line in code page 932, as the Linux entry
// does. A name with no code page 932 form comes in its listed form, which
// the program knows by its mark.
#include <windows.h>

#include <string>

#include "platform/src/core/listed_path.h"

extern "C" int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPWSTR lpCmdLine,
                               int nCmdShow) {
    std::string command_line = listed::ListedFormOf(lpCmdLine ? lpCmdLine : L"").c_str();
    return WinMain(hInstance, hPrevInstance, command_line.data(), nCmdShow);
}
