// sorahiki-cli: runs one search with the engine in the current directory (the
// folder "DATA" under it) and prints the hits.
//
// Exit status: 0 when something was found, 1 when nothing was, 2 on an error,
// with one line on stderr that says what is wrong and one that points to
// --help. A folder or file under DATA that is there but cannot be opened or
// read, or whose path is too long, gets a warning line and makes the status
// 2 once the hits are printed: the answer may lack it. One gone, or a folder,
// by the time it is read is no error. A search that ran out of file
// descriptors or memory prints nothing but one line that says so, with
// status 2. Output that cannot
// be written (a full disk, a closed descriptor, a pipe whose reader is gone
// while SIGPIPE is ignored) ends the run with status 2 and one line that says
// why; with SIGPIPE at its default a reader that goes away ends the tool quietly.
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <new>
#include <string>

#include <sorahiki/codepage.h>

#include "cli/CliCheckedOutput.h"
#include "cli/CliOptions.h"
#include "cli/CliOutput.h"
#include "cli/CliReadErrors.h"
#include "cli/CliSystem.h"
#include "search/HitPresence.h"
#include "search/SearchEngin.h"
#include "sorahiki_version.h"

namespace {

constexpr int kExitFound = 0;
constexpr int kExitNothingFound = 1;
constexpr int kExitError = 2;
// More than the runtime sets aside to report errors, so that its reserve
// surely fitted too.
constexpr std::size_t kErrorReserve = 128 * 1024;

// About half a megabyte: kept in static storage, as the program keeps it.
CSearchEngin g_engine;

int Fail(const std::string& message) {
    std::fprintf(stderr, "sorahiki-cli: %s\n", message.c_str());
    std::fputs("Try 'sorahiki-cli --help' for more information.\n", stderr);
    return kExitError;
}

int FailToWrite(int error) {
    std::fprintf(stderr, "sorahiki-cli: write error: %s\n", std::strerror(error));
    return kExitError;
}

std::string JoinWords(const std::vector<std::string>& words) {
    std::string query;
    for (const std::string& word : words) {
        if (!query.empty()) query += ' ';
        query += word;
    }
    return query;
}

// Whether the variable is set to something: an empty value counts as unset.
bool IsSetNonEmpty(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != '\0';
}

// Colour only in the listing, and by default only for a terminal that can
// show it (not TERM=dumb) when the environment does not ask for none.
bool UsesColour(const CliOptions& options) {
    if (options.tsv || options.color == ColorWhen::kNever) return false;
    if (options.color == ColorWhen::kAlways) return true;
    const char* term = std::getenv("TERM");
    if (IsSetNonEmpty("NO_COLOR") || (term != nullptr && std::strcmp(term, "dumb") == 0)) {
        return false;
    }
    return OutputIsColourTerminal();
}

// A search that ran out of descriptors or memory has a partial answer, which
// is never printed.
int FailedSearch() {
    std::fprintf(stderr, "sorahiki-cli: %s\n",
                 g_engine.m_bTooManyOpenFiles ? "too many open files" : "out of memory");
    return kExitError;
}

// The first page always exists, even without hits (the count alone).
bool PageExists(int pageIndex) {
    return pageIndex == 0 || IsPagePresent(g_engine, pageIndex);
}

void PrintPage(CCheckedOutput& out, int pageIndex, const CliOptions& options,
               const OutputStyle& style) {
    // The search has just loaded page 0 from the text it read; loading it
    // again would read every file of the page a second time.
    if (g_engine.m_nPage != pageIndex) {
        g_engine.m_nPage = pageIndex;
        g_engine.m_sub_LoadPage();
    }
    for (int row = 0; row < CSearchEngin::kRowsPerPage; ++row) {
        const ResultItem& item = g_engine.m_items[row];
        if (!item.bPresent) break;
        int number = pageIndex * CSearchEngin::kRowsPerPage + row + 1;
        if (options.tsv) {
            PrintTsvRow(out, number, item, style);
        } else {
            PrintRow(out, number, item, style);
        }
    }
}

int Run(const CliOptions& options, CCheckedOutput& out) {
    if (options.help) {
        out.Write(kCliUsage);
        return 0;
    }
    if (options.version) {
        out.Write("sorahiki-cli " SORAHIKI_VERSION "\n");
        return 0;
    }
    if (options.words.empty()) return Fail("no word to search for");
    std::string joined = JoinWords(options.words);
    std::string query = joined;
    if (!options.raw && !Utf8ToCp932(joined, query)) {
        return Fail("the query holds a character with no Shift-JIS form (or is not UTF-8)");
    }
    if (!options.folder.empty() && !EnterFolder(options.folder, options.raw)) {
        return Fail("cannot enter the folder " + options.folder);
    }
    std::string dataProblem = ProblemWithDataFolder();
    if (!dataProblem.empty()) return Fail(dataProblem);

    WarnOfUnreadablePaths(g_engine, options.raw);
    g_engine.m_options = options.search;
    g_engine.m_sub_Search(query.c_str());
    if (g_engine.m_bTooManyOpenFiles || g_engine.m_bOutOfMemory) return FailedSearch();
    if (g_engine.m_nWords == 0) return Fail("the query holds no word");
    int pageIndex = options.page - 1;
    if (!options.all && !PageExists(pageIndex)) {
        return Fail("page " + std::to_string(options.page) + " does not exist");
    }

    OutputStyle style{options.raw, UsesColour(options), options.context};
    if (!options.tsv) PrintHitCount(out, g_engine.m_nHits, g_engine.m_bHitCap != 0, style);
    if (options.all) {
        // Pages after a failed write would be read for nothing.
        for (int page = 0; page < CSearchEngin::kMaxPages && PageExists(page) && out.Error() == 0;
             ++page) {
            PrintPage(out, page, options, style);
        }
    } else {
        PrintPage(out, pageIndex, options, style);
    }
    // Rows of later pages are read as they are printed.
    if (g_engine.m_bOutOfMemory) return FailedSearch();
    // What was left out was warned of: the answer may lack it.
    if (g_engine.m_leftOut.Count() > 0) return kExitError;
    return g_engine.m_nHits > 0 ? kExitFound : kExitNothingFound;
}

// Whether there is memory enough to report a want of it: where the runtime
// could not set aside its reserve for errors, the first allocation that
// fails cannot even be reported, and the process would abort.
bool MemoryForErrors() {
    void* room = std::malloc(kErrorReserve);
    std::free(room);
    return room != nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    if (!MemoryForErrors()) {
        std::fputs("sorahiki-cli: out of memory\n", stderr);
        return kExitError;
    }
    UseBinaryOutput();
    CliOptions options;
    std::string error;
    if (!ParseCliOptions(CommandLineArguments(argc, argv), options, error)) return Fail(error);
    if (options.raw) {
        // The words are taken as the bytes given, not as UTF-8.
        options = CliOptions{};
        if (!ParseCliOptions(RawCommandLineArguments(argc, argv), options, error)) {
            return Fail(error);
        }
    }
    CCheckedOutput out(stdout, ReasonOfFailedWrite);
    int status = kExitError;
    try {
        status = Run(options, out);
    } catch (const std::bad_alloc&) {
        std::fputs("sorahiki-cli: out of memory\n", stderr);
    }
    if (!out.Finish()) return FailToWrite(out.Error());
    return status;
}
