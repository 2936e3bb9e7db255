// Times searches through the engine next to a floor: the same folder walk
// that only opens each file, reads its first 4 KiB and closes it.
//   sorahiki-bench [-C DIR] [--runs N] QUERY...
//   sorahiki-bench --gather
// --gather times the gathering of Shift-JIS text alone, on one core, from
// memory: how many bytes of files a second the reader turns into text.
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
#include "search/SjisReader.h"

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

// Bytes in memory given out as a file's are, with the buffer open to readers
// that take plain runs at once.
class MemoryBytes {
  public:
    MemoryBytes(const unsigned char* bytes, DWORD length) : m_bytes(bytes), m_length(length) {}
    int Next() {
        if (m_pos == m_length) return sjis::kEndOfInput;
        unsigned char b = m_bytes[m_pos++];
        if (b == 0x1A) return m_pos = m_length, sjis::kEndOfInput;
        if (b == '\r' && m_pos < m_length && m_bytes[m_pos] == '\n') return m_bytes[m_pos++];
        return b;
    }
    const unsigned char* Unread() const { return m_bytes + m_pos; }
    DWORD UnreadCount() const { return m_length - m_pos; }
    void Skip(DWORD count) { m_pos += count; }

  private:
    const unsigned char* m_bytes;
    DWORD m_length;
    DWORD m_pos = 0;
};

// Notes of Japanese text with blanks, line ends and full-width punctuation,
// gathered again and again; the figure is bytes of notes per second.
int TimeGathering() {
    const char* const pieces[] = {"料理", "の",   "メモ", " ",      "会議", "\r\n", "予定", "、",
                                  "東京", "rice", "。",   "データ", "\n",   "確認", "　",   "2026"};
    std::string notes;
    for (unsigned i = 0; notes.size() < (1u << 20); i = i * 7 + 3) notes += pieces[i % 16];
    const auto* bytes = reinterpret_cast<const unsigned char*>(notes.data());
    constexpr DWORD kNote = 4096;
    char text[CSearchEngin::kTextLimit + 100];
    long long consumed = 0;
    long checksum = 0;
    double start = NowMilliseconds(CLOCK_THREAD_CPUTIME_ID);
    for (int round = 0; round < 200; ++round) {
        for (DWORD at = 0; at + kNote <= notes.size(); at += kNote) {
            MemoryBytes source(bytes + at, kNote);
            sjis::SjisCharReader reader(source);
            checksum += reader.ReadText(text, CSearchEngin::kTextLimit);
            consumed += source.Unread() - (bytes + at);
        }
    }
    double seconds = (NowMilliseconds(CLOCK_THREAD_CPUTIME_ID) - start) / 1000.0;
    std::printf("gathering: %.2f GB/s of Shift-JIS notes on one core (%ld bytes kept)\n",
                static_cast<double>(consumed) / seconds / 1e9, checksum);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::string(argv[1]) == "--gather") return TimeGathering();
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
