// The Linux program's entry: starts the GTK driver and hands over to WinMain
// as the Windows start-up code would.
#include <cstdio>
#include <string>

#include <windows.h>

#include "platform/src/core/listed_path.h"
#include "platform/src/ui/driver.h"

namespace {

// The command line as Windows hands it to WinMain: code page 932, and an
// argument with blanks in quotes. A name with no code page 932 form comes in
// its listed form, which the program knows by its mark.
std::string CommandLineOf(int argc, char** argv) {
    std::string command_line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) command_line += ' ';
        const std::string form = listed::ListedFormOf(argv[i]);
        const std::string text = form.c_str();
        const bool quoted = text.find_first_of(" \t") != std::string::npos;
        command_line += quoted ? '"' + text + '"' : text;
    }
    return command_line;
}

}  // namespace

int main(int argc, char** argv) {
    sorahiki::ui::SetDriver(sorahiki::ui::MakeGtkDriver());
    if (!sorahiki::ui::CurrentDriver()->Init()) {
        std::fprintf(stderr, "sorahiki: no display to open a window on\n");
        return -1;
    }
    // The command line without the program's own name.
    std::string command_line = CommandLineOf(argc, argv);
    return WinMain(GetModuleHandleA(nullptr), nullptr, command_line.data(), SW_SHOWDEFAULT);
}
