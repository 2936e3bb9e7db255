// The Linux program's entry: starts the GTK driver and hands over to WinMain
// as the Windows start-up code would.
#include <cstdio>
#include <string>

#include <windows.h>

#include "platform/src/ui/driver.h"

int main(int argc, char** argv) {
    sorahiki::ui::SetDriver(sorahiki::ui::MakeGtkDriver());
    if (!sorahiki::ui::CurrentDriver()->Init()) {
        std::fprintf(stderr, "sorahiki: no display to open a window on\n");
        return -1;
    }
    // The command line without the program's own name.
    std::string command_line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) command_line += ' ';
        command_line += argv[i];
    }
    return WinMain(GetModuleHandleA(nullptr), nullptr, command_line.data(), SW_SHOWDEFAULT);
}
