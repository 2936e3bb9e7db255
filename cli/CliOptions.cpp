#include "cli/CliOptions.h"

#include <cerrno>
#include <cstdlib>

namespace {

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
            options.words.push_back(arg);
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
        } else if (arg == "--all") {
            options.all = true;
        } else if (arg == "--tsv") {
            options.tsv = true;
        } else if (arg == "--raw") {
            options.raw = true;
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
