// Times the reader on large files, apart from the folder walk:
//   sorahiki-bench-gather DIR [MIB]
// writes two files of MIB MiB (64 unless given) under DIR and reads each
// through the Shift-JIS reader as the search gathers text, without its limit:
// - DIR/DATA/blank.txt: blank lines (blanks, line feeds, CR LF pairs) with the
//   word "末尾" at its end. A search for 末尾 in DIR finds it; time that with
//   sorahiki-bench -C DIR 末尾 or sorahiki-cli;
// - DIR/japanese.txt: Japanese prose, with line ends, punctuation, numbers.
// Reports the best of five reads of each, in MB/s of file bytes, by the wall
// clock and by the processor time of the thread (which a busy machine
// disturbs less).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include <time.h>

#include "search/text/SjisReader.h"

namespace fs = std::filesystem;

namespace {

// Narrow literals are Shift-JIS in this project.
const char* const kWords[] = {"料理", "の",   "メモ",   "を",   "書く", "会議", "予定", "東京",
                              "は",   "晴れ", "データ", "確認", "して", "から", "送る", "明日"};

std::string BlankLines(size_t bytes) {
    std::string text;
    text.reserve(bytes + 16);
    while (text.size() < bytes) text += text.size() % 3 == 0 ? "                \r\n" : "   \n";
    return text + "末尾\n";
}

// Prose: a comma or a full stop every seven words, a line end every forty,
// now and then a number or a blank.
std::string JapaneseText(size_t bytes) {
    std::string text;
    text.reserve(bytes + 64);
    for (unsigned i = 0; text.size() < bytes; ++i) {
        text += kWords[(i * 7 + i / 16) % 16];
        if (i % 7 == 6) text += i % 14 == 13 ? "。" : "、";
        if (i % 31 == 30) text += "2026";
        if (i % 97 == 96) text += " ";
        if (i % 40 == 39) text += "\n";
    }
    return text;
}

void WriteFile(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary)
        .write(text.data(), static_cast<std::streamsize>(text.size()));
}

double NowSeconds(clockid_t clock) {
    timespec now;
    clock_gettime(clock, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// Gathers the whole file, as the search gathers its first 2001 bytes.
int Gather(const fs::path& path, char* text, int limit) {
    sjis::OpenFile file(path.c_str());
    sjis::TextFileBytes bytes(file.Handle());
    sjis::SjisCharReader reader(bytes);
    return reader.ReadText(text, limit);
}

void Time(const char* name, const fs::path& path) {
    auto size = static_cast<double>(fs::file_size(path));
    int limit = static_cast<int>(std::min<double>(size, 1 << 30));
    auto text = std::make_unique<char[]>(static_cast<size_t>(limit) + 1);
    double wall = 1e300;
    double cpu = 1e300;
    int kept = 0;
    for (int run = 0; run < 5; ++run) {
        double wallStart = NowSeconds(CLOCK_MONOTONIC);
        double cpuStart = NowSeconds(CLOCK_THREAD_CPUTIME_ID);
        kept = Gather(path, text.get(), limit);
        cpu = std::min(cpu, NowSeconds(CLOCK_THREAD_CPUTIME_ID) - cpuStart);
        wall = std::min(wall, NowSeconds(CLOCK_MONOTONIC) - wallStart);
    }
    std::printf(
        "%s: %.0f MB, %.3f s (%.3f s processor), %.0f MB/s (%.0f MB/s by processor), "
        "%d bytes kept\n",
        name, size / 1e6, wall, cpu, size / 1e6 / wall, size / 1e6 / cpu, kept);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: sorahiki-bench-gather DIR [MIB]\n");
        return 2;
    }
    fs::path dir = argv[1];
    size_t bytes = static_cast<size_t>(argc > 2 ? std::atoi(argv[2]) : 64) << 20;
    WriteFile(dir / "DATA" / "blank.txt", BlankLines(bytes));
    WriteFile(dir / "japanese.txt", JapaneseText(bytes));
    Time("blank lines", dir / "DATA" / "blank.txt");
    Time("Japanese text", dir / "japanese.txt");
    return 0;
}
