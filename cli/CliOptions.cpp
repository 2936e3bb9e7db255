#include "cli/CliOptions.h"

#include <cerrno>
#include <cstdlib>

const char kCliUsage[] =
    "Usage: sorahiki-cli [OPTION]... [--] WORD...\n"
    "Searches the files under the folder DATA of the current directory for those\n"
    "whose text holds every WORD, and prints the hits, ten to a page.\n"
    "\n"
    "  -C DIR       search DIR/DATA instead of ./DATA\n"
    "  --page N     print page N of the hits (counted from 1; the first by default)\n"
    "  --all        print every page\n"
    "  --tsv        one line per hit: number, path, title, excerpt (tab-separated)\n"
    "  --raw        take the words and write the text as Shift-JIS bytes, not UTF-8\n"
    "  --color[=WHEN]  show the words in the title and excerpt in bold red; WHEN is\n"
    "               auto (the default: when the output is a terminal and NO_COLOR\n"
    "               is not set), always or never; --tsv never colours\n"
    "  --context    also print the text around the first word where it first\n"
    "               occurs in the file, on a line of its own (with --tsv, as a\n"
    "               fifth column)\n"
    "  --whole      search the whole text of each file, not its first 2,001 bytes\n"
    "  -i           match Latin letters in either case (full-width ones too)\n"
    "  --fold-width match full-width letters and digits as ASCII, and half-width\n"
    "               katakana (with their voiced marks) as full-width\n"
    "  --fold-kana  match hiragana and katakana alike\n"
    "  -h, --help   print this help and exit\n"
    "  --version    print the version and exit\n"
    "  --           end the options: every later argument is a word\n"
    "\n"
    "Exit status: 0 when something was found, 1 when nothing was, 2 on an error\n"
    "(also when a file under DATA could not be read, or its path was too long:\n"
    "the hits are printed, each such file is warned of).\n";

namespace {

// A line feed, carriage return or tab cannot be part of a word; none of them
// can be the second byte of a Shift-JIS character, so the bytes are replaced
// as they stand, in UTF-8 and in Shift-JIS alike.
std::string BlanksForControlSeparators(std::string word) {
    for (char& c : word) {
        if (c == '\n' || c == '\r' || c == '\t') c = ' ';
    }
    return word;
}

bool ParseColorWhen(const std::string& text, ColorWhen& when) {
    if (text == "auto") {
        when = ColorWhen::kAuto;
    } else if (text == "always") {
        when = ColorWhen::kAlways;
    } else if (text == "never") {
        when = ColorWhen::kNever;
    } else {
        return false;
    }
    return true;
}

bool ParsePageNumber(const std::string& text, int& page) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return false;
    errno = 0;
    long value = std::strtol(text.c_str(), nullptr, 10);
    if (errno != 0 || value < 1 || value > 1000000) return false;
    page = static_cast<int>(value);
    return true;
}

}  // namespace

bool ParseCliOptions(const std::vector<std::string>& args, CliOptions& options,
                     std::string& error) {
    bool pageGiven = false;
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            options.words.push_back(BlanksForControlSeparators(arg));
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "-C" || arg == "--page") {
            if (i + 1 == args.size()) {
                error = "option " + arg + " needs a value";
                return false;
            }
            const std::string& value = args[++i];
            if (arg == "-C") {
                options.folder = value;
            } else if (!ParsePageNumber(value, options.page)) {
                error = "not a page number: " + value;
                return false;
            } else {
                pageGiven = true;
            }
        } else if (arg == "-h" || arg == "--help") {
            options.help = true;
        } else if (arg == "--version") {
            options.version = true;
        } else if (arg == "--all") {
            options.all = true;
        } else if (arg == "--tsv") {
            options.tsv = true;
        } else if (arg == "--raw") {
            options.raw = true;
        } else if (arg == "--context") {
            options.context = true;
        } else if (arg == "--whole") {
            options.search.bWholeFile = true;
        } else if (arg == "-i") {
            options.search.bFoldCase = true;
        } else if (arg == "--fold-width") {
            options.search.bFoldWidth = true;
        } else if (arg == "--fold-kana") {
            options.search.bFoldKana = true;
        } else if (arg == "--color" || arg == "--colour") {
            options.color = ColorWhen::kAuto;
        } else if (arg.starts_with("--color=") || arg.starts_with("--colour=")) {
            const std::string when = arg.substr(arg.find('=') + 1);
            if (!ParseColorWhen(when, options.color)) {
                error = "--color takes auto, always or never, not " + when;
                return false;
            }
        } else {
            error = "unknown option: " + arg;
            return false;
        }
    }
    if (pageGiven && options.all) {
        error = "--page and --all cannot be used together";
        return false;
    }
    return true;
}
