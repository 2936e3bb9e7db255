// Times searches through the engine in this process, query by query, on a
// warm cache: the best of the runs, wall clock and processor time of all its
// threads. How a search compares with a floor that has no code of this
// project in it, and with grep and ripgrep, is bench/compare.py's job.
//   sorahiki-bench [-C DIR] [--runs N] [--first-row] QUERY...
// Each QUERY (code page 932 bytes after conversion from UTF-8) is one search.
// With --first-row each search runs beside this thread as the window runs it
// (CSearchRun), with no warming round, and the times are those until the
// first row of page 0 can be shown and until the result is handed over; drop
// the page cache before a run of one round to time a cold search:
//   sync; echo 3 > /proc/sys/vm/drop_caches
//   sorahiki-bench -C /tmp/corpus --runs 1 --first-row "希少語 料理"
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <time.h>
#include <unistd.h>

#include <sorahiki/codepage.h>
#include "search/SearchEngin.h"
#include "search/SearchRun.h"

namespace {

CSearchEngin g_engine;

// <chrono> does not compile with Shift-JIS as the literal code page (its
// "\u00b5s" suffix has no form there), so the clocks are read directly.
double NowMilliseconds(clockid_t clock) {
    timespec now;
    clock_gettime(clock, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
}

// Wall-clock time, and the processor time of the process (user and system,
// the reader threads' too), which other programs on a busy machine disturb
// less.
struct Timing {
    double wall = 1e300;
    double cpu = 1e300;
};

template <typename Work>
void KeepBest(Timing& best, Work work) {
    double wall = NowMilliseconds(CLOCK_MONOTONIC);
    double cpu = NowMilliseconds(CLOCK_PROCESS_CPUTIME_ID);
    work();
    best.cpu = std::min(best.cpu, NowMilliseconds(CLOCK_PROCESS_CPUTIME_ID) - cpu);
    best.wall = std::min(best.wall, NowMilliseconds(CLOCK_MONOTONIC) - wall);
}

struct FirstRow {
    double first = 1e300;  // until row 0 could be shown
    double end = 1e300;    // until the result was handed over
};

// The window looks at a running search once per turn of its frame loop (5
// ms); this looks every millisecond.
void TimeFirstRow(CSearchRun& run, const std::string& query, FirstRow& best, int& hits) {
    static CSearchEngin shown;
    static char shownQuery[CSearchRun::kQueryBytes];
    const double start = NowMilliseconds(CLOCK_MONOTONIC);
    double first = -1;
    int rows = 0;
    run.Start(query.c_str());
    while (!run.HandOver(shown, shownQuery)) {
        run.CopyLiveRows(shown.m_items, rows);
        if (first < 0 && rows > 0) first = NowMilliseconds(CLOCK_MONOTONIC) - start;
        usleep(1000);
    }
    const double end = NowMilliseconds(CLOCK_MONOTONIC) - start;
    best.first = std::min(best.first, first < 0 ? end : first);
    best.end = std::min(best.end, end);
    hits = shown.m_nHits;
}

int FirstRows(const std::vector<std::string>& queries, int runs) {
    static CSearchRun run;
    std::vector<FirstRow> best(queries.size());
    std::vector<int> hits(queries.size(), 0);
    for (int round = 0; round < runs; ++round) {
        for (size_t q = 0; q < queries.size(); ++q) TimeFirstRow(run, queries[q], best[q], hits[q]);
    }
    for (size_t q = 0; q < queries.size(); ++q) {
        std::string shown;
        Cp932ToUtf8(queries[q], shown);
        std::printf("search \"%s\": %d hits, first row after %.1f ms, handed over after %.1f ms\n",
                    shown.c_str(), hits[q], best[q].first, best[q].end);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 5;
    bool firstRow = false;
    std::vector<std::string> queries;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "-C" && i + 1 < argc) {
            if (chdir(argv[++i]) != 0) {
                std::fprintf(stderr, "sorahiki-bench: cannot enter %s\n", argv[i]);
                return 2;
            }
        } else if (arg == "--runs" && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else if (arg == "--first-row") {
            firstRow = true;
        } else {
            std::string cp932;
            Utf8ToCp932(arg, cp932);
            queries.push_back(cp932);
        }
    }
    if (queries.empty()) {
        std::fprintf(stderr, "usage: sorahiki-bench [-C DIR] [--runs N] [--first-row] QUERY...\n");
        return 2;
    }
    if (firstRow) return FirstRows(queries, runs);

    // The queries take turns in every round, so that a stretch of load on
    // the machine hits them alike; the best round of each counts.
    for (const std::string& query : queries) g_engine.m_sub_Search(query.c_str());  // warms
    std::vector<Timing> search(queries.size());
    std::vector<int> hits(queries.size(), 0);
    for (int round = 0; round < runs; ++round) {
        for (size_t q = 0; q < queries.size(); ++q) {
            KeepBest(search[q], [&] { g_engine.m_sub_Search(queries[q].c_str()); });
            hits[q] = g_engine.m_nHits;
        }
    }
    for (size_t q = 0; q < queries.size(); ++q) {
        std::string shown;
        Cp932ToUtf8(queries[q], shown);
        std::printf("search \"%s\": %d hits, %.1f ms per search (%.1f ms processor)\n",
                    shown.c_str(), hits[q], search[q].wall, search[q].cpu);
    }
    return 0;
}
