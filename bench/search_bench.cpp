// Times searches through the engine next to a floor: the same folder walk
// that only opens each file, reads its first 4 KiB and closes it.
//   sorahiki-bench [-C DIR] [--runs N] QUERY...
// Each QUERY (code page 932 bytes after conversion from UTF-8) is one search.
// Runs are taken on a warm cache, floor and searches in turn, and the best
// of the runs is reported.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <time.h>
#include <unistd.h>

#include <sorahiki/codepage.h>
#include "search/SearchEngin.h"

namespace {

CSearchEngin g_engine;

struct FloorCount {
    long files = 0;
    long bytes = 0;
};

void WalkFloor(const char* folder, FloorCount& count) {
    char pattern[CSearchEngin::kPathSlot + 8];
    std::snprintf(pattern, sizeof pattern, "%s/*.*", folder);
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA(pattern, &entry);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        if (std::string_view(entry.cFileName) == "." || std::string_view(entry.cFileName) == "..") {
            continue;
        }
        char path[CSearchEngin::kPathSlot];
        int length = std::snprintf(path, sizeof path, "%s/%s", folder, entry.cFileName);
        if (length < 0 || length >= CSearchEngin::kPathSlot) continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            WalkFloor(path, count);
            continue;
        }
        HANDLE file =
            CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) continue;
        char buffer[4096];
        DWORD read = 0;
        ReadFile(file, buffer, sizeof buffer, &read, nullptr);
        CloseHandle(file);
        ++count.files;
        count.bytes += read;
    } while (FindNextFileA(find, &entry));
    FindClose(find);
}

// <chrono> does not compile with Shift-JIS as the literal code page (its
// "\u00b5s" suffix has no form there), so the clocks are read directly.
double NowMilliseconds(clockid_t clock) {
    timespec now;
    clock_gettime(clock, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
}

// Wall-clock time, and the processor time of this thread (user and system),
// which other programs on a busy machine disturb less.
struct Timing {
    double wall = 1e300;
    double cpu = 1e300;
};

template <typename Work>
void KeepBest(Timing& best, Work work) {
    double wall = NowMilliseconds(CLOCK_MONOTONIC);
    double cpu = NowMilliseconds(CLOCK_THREAD_CPUTIME_ID);
    work();
    best.cpu = std::min(best.cpu, NowMilliseconds(CLOCK_THREAD_CPUTIME_ID) - cpu);
    best.wall = std::min(best.wall, NowMilliseconds(CLOCK_MONOTONIC) - wall);
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 5;
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
        } else {
            std::string cp932;
            Utf8ToCp932(arg, cp932);
            queries.push_back(cp932);
        }
    }
    if (queries.empty()) {
        std::fprintf(stderr, "usage: sorahiki-bench [-C DIR] [--runs N] QUERY...\n");
        return 2;
    }

    // Floor and searches take turns in every round, so that a stretch of
    // load on the machine hits both alike; the best round of each counts.
    FloorCount count;
    WalkFloor("DATA", count);  // warms the cache
    for (const std::string& query : queries) g_engine.m_sub_Search(query.c_str());
    Timing floor;
    std::vector<Timing> search(queries.size());
    std::vector<int> hits(queries.size(), 0);
    for (int round = 0; round < runs; ++round) {
        KeepBest(floor, [] {
            FloorCount c;
            WalkFloor("DATA", c);
        });
        for (size_t q = 0; q < queries.size(); ++q) {
            KeepBest(search[q], [&] { g_engine.m_sub_Search(queries[q].c_str()); });
            hits[q] = g_engine.m_nHits;
        }
    }
    auto perSecond = [&](double ms) { return count.files / (ms / 1000.0); };
    std::printf("floor: %ld files, %.1f ms per walk (%.1f ms processor), %.0f files/s\n",
                count.files, floor.wall, floor.cpu, perSecond(floor.wall));
    for (size_t q = 0; q < queries.size(); ++q) {
        std::string shown;
        Cp932ToUtf8(queries[q], shown);
        std::printf(
            "search \"%s\": %d hits, %.1f ms per search (%.1f ms processor), %.0f files/s, "
            "%.2f x floor (%.2f x by processor time)\n",
            shown.c_str(), hits[q], search[q].wall, search[q].cpu, perSecond(search[q].wall),
            search[q].wall / floor.wall, search[q].cpu / floor.cpu);
    }
    return 0;
}
