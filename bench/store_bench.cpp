// Times the first search of a session against the searches after it, which
// the session store answers for the files that did not change, and tells the
// memory the store holds per file. Each query is searched once with no store
// (the plain walk), once as the first search of a new store, and then
// `--runs` times more with that store; the hits of all must be the same.
// Then the same through the window's run (CSearchRun): its first search
// reads without the store, which it fills after the hand-over while idle; a
// second search at once stops the fill and walks as the first did.
// With --change N, N files spread over the folder are then touched (their
// times set to now, their bytes kept) and the next search of the run timed.
//   sorahiki-bench-store [-C DIR] [--runs N] [--change N] QUERY...
// The page cache should be warm (run it twice) unless a cold first search is
// what is timed.
#include <algorithm>
#include <filesystem>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <sys/time.h>
#include <time.h>
#include <unistd.h>

#include <sorahiki/codepage.h>
#include "search/SearchEngin.h"
#include "search/SearchRun.h"
#include "search/store/SessionStore.h"

namespace {

CSearchEngin g_plain;
CSearchEngin g_stored;

// <chrono> does not compile with Shift-JIS as the literal code page.
double NowMilliseconds(clockid_t clock = CLOCK_MONOTONIC) {
    timespec now;
    clock_gettime(clock, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
}

// The processor time of the last search timed (all threads), which a busy
// machine disturbs less than the wall clock.
double g_lastProcessor = 0;

template <typename Work>
double Timed(Work work) {
    const double start = NowMilliseconds();
    const double processor = NowMilliseconds(CLOCK_PROCESS_CPUTIME_ID);
    work();
    g_lastProcessor = NowMilliseconds(CLOCK_PROCESS_CPUTIME_ID) - processor;
    return NowMilliseconds() - start;
}

bool SameHits(const CSearchEngin& a, const CSearchEngin& b) {
    if (a.m_nHits != b.m_nHits || a.m_bHitCap != b.m_bHitCap) return false;
    for (int i = 0; i < a.m_nHits; ++i) {
        if (std::strcmp(a.m_hitPaths[i], b.m_hitPaths[i]) != 0) return false;
    }
    return true;
}

// One query: false when the stored answer differs from the plain one.
bool TimeQuery(const std::string& query, int runs) {
    store::CSessionStore kept;
    g_stored.m_pStore = &kept;
    const double plain = Timed([&] { g_plain.m_sub_Search(query.c_str()); });
    const double plainProcessor = g_lastProcessor;
    const double first = Timed([&] { g_stored.m_sub_Search(query.c_str()); });
    const double firstProcessor = g_lastProcessor;
    bool same = SameHits(g_plain, g_stored);
    std::vector<double> later;
    for (int run = 0; run < runs; ++run) {
        later.push_back(Timed([&] { g_stored.m_sub_Search(query.c_str()); }));
        same = same && SameHits(g_plain, g_stored);
    }
    std::sort(later.begin(), later.end());
    std::string shown;
    Cp932ToUtf8(query, shown);
    std::printf(
        "search \"%s\": %d hits; plain walk %.1f ms (%.1f ms processor), first with "
        "the store %.1f ms (%.1f ms processor), later best %.1f ms, median %.1f ms%s\n",
        shown.c_str(), g_plain.m_nHits, plain, plainProcessor, first, firstProcessor, later.front(),
        later[later.size() / 2], same ? "" : "  HITS DIFFER");
    std::printf("  store: %zu files, %zu bytes, %.0f bytes per file (budget %zu bytes)\n",
                kept.Files(), kept.BytesHeld(),
                kept.Files() ? static_cast<double>(kept.BytesHeld()) / kept.Files() : 0.0,
                kept.Budget());
    g_stored.m_pStore = nullptr;
    return same;
}

CSearchEngin g_shown;
char g_shownQuery[CSearchRun::kQueryBytes];

double SearchThrough(CSearchRun& run, const std::string& query) {
    return Timed([&] {
        run.Start(query.c_str());
        while (!run.HandOver(g_shown, g_shownQuery)) usleep(200);
    });
}

// Sets the times of `count` files spread over DATA to now, their bytes kept:
// to the store, each is a file changed since the last search.
void TouchSpreadFiles(int count) {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator("DATA")) {
        if (entry.is_regular_file()) files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    const std::size_t step = std::max<std::size_t>(1, files.size() / std::max(count, 1));
    for (std::size_t i = 0, touched = 0;
         i < files.size() && touched < static_cast<std::size_t>(count); i += step, ++touched) {
        utimes(files[i].c_str(), nullptr);
    }
}

// One query through a run of its own: false when an answer differs from
// the plain walk's.
bool TimeRun(const std::string& query, int runs, int changes) {
    auto run = std::make_unique<CSearchRun>();
    const double first = SearchThrough(*run, query);
    bool same = SameHits(g_plain, g_shown);
    // A search at once, as a person who types the next word quickly: the
    // fill is stopped and goes on after it.
    const double atOnce = SearchThrough(*run, query);
    same = same && SameHits(g_plain, g_shown);
    const double fillStart = NowMilliseconds();
    while (run->Filling()) usleep(1000);
    const double fill = NowMilliseconds() - fillStart;
    std::vector<double> later;
    for (int i = 0; i < runs; ++i) {
        later.push_back(SearchThrough(*run, query));
        same = same && SameHits(g_plain, g_shown);
    }
    std::sort(later.begin(), later.end());
    std::printf(
        "  the window's run: first %.1f ms, the next at once %.1f ms, then the fill while "
        "idle %.1f ms, later best %.1f ms, median %.1f ms%s\n",
        first, atOnce, fill, later.front(), later[later.size() / 2], same ? "" : "  HITS DIFFER");
    if (changes > 0) {
        TouchSpreadFiles(changes);
        const double changed = SearchThrough(*run, query);
        const double again = SearchThrough(*run, query);
        same = same && SameHits(g_plain, g_shown);
        std::printf("  after %d files changed: the next search %.1f ms, the one after %.1f ms%s\n",
                    changes, changed, again, same ? "" : "  HITS DIFFER");
    }
    return same;
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 5;
    int changes = 0;
    std::vector<std::string> queries;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "-C" && i + 1 < argc) {
            if (chdir(argv[++i]) != 0) {
                std::fprintf(stderr, "sorahiki-bench-store: cannot enter %s\n", argv[i]);
                return 2;
            }
        } else if (arg == "--runs" && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else if (arg == "--change" && i + 1 < argc) {
            changes = std::max(0, std::atoi(argv[++i]));
        } else {
            std::string cp932;
            Utf8ToCp932(arg, cp932);
            queries.push_back(cp932);
        }
    }
    if (queries.empty()) {
        std::fprintf(stderr,
                     "usage: sorahiki-bench-store [-C DIR] [--runs N] [--change N] QUERY...\n");
        return 2;
    }
    bool same = true;
    for (const std::string& query : queries) {
        same = TimeQuery(query, runs) && same;
        same = TimeRun(query, runs, changes) && same;
    }
    return same ? 0 : 1;
}
