// Times the quick look alone, apart from the walk and the reads:
//   sorahiki-bench-look FOLDER WORD [FILES] [--mark] [--gather]
// reads the first block of up to FILES files (300 unless given) under FOLDER
// into memory, then looks at every block for WORD (given in UTF-8, searched
// as code page 932), as a search looks at each file's first block before it
// gathers its text. With --mark a UTF-8 mark is put before each block (the
// block keeps its size). Reports the best of 200 rounds, in microseconds per
// block of the thread's processor time, which a busy machine disturbs less
// than the wall clock; and how many blocks may hold the word. With --gather
// it times instead the gathering of each block's text, as a search gathers
// a file that the look cannot pass over (converted first when the block is
// UTF-8 or UTF-16), and reports the bytes of text gathered.
// Few files keep the blocks in the processor's cache, as a block just read
// is in a search.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <time.h>

#include <sorahiki/codepage.h>

#include "search/Limits.h"
#include "search/text/QuickLook.h"

namespace fs = std::filesystem;

namespace {

using Block = std::vector<unsigned char>;

std::vector<Block> FirstBlocks(const fs::path& folder, size_t files, bool mark) {
    std::vector<Block> blocks;
    const size_t skipped = mark ? 3 : 0;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (blocks.size() == files) break;
        if (!entry.is_regular_file()) continue;
        Block block(CTextDecoder::kBlockBytes);
        std::memcpy(block.data(), "\xEF\xBB\xBF", skipped);
        std::ifstream in(entry.path(), std::ios::binary);
        in.read(reinterpret_cast<char*>(block.data() + skipped),
                static_cast<std::streamsize>(block.size() - skipped));
        block.resize(skipped + static_cast<size_t>(in.gcount()));
        blocks.push_back(std::move(block));
    }
    return blocks;
}

double ThreadSeconds() {
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// The best processor time of 200 rounds of `work`, in seconds.
template <typename Work>
double BestOfRounds(Work work) {
    double best = 1e300;
    for (int round = 0; round < 200; ++round) {
        const double start = ThreadSeconds();
        work();
        best = std::min(best, ThreadSeconds() - start);
    }
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    std::string word;
    if (argc < 3 || !Utf8ToCp932(argv[2], word)) {
        std::fprintf(stderr,
                     "usage: sorahiki-bench-look FOLDER WORD [FILES] [--mark] [--gather]\n");
        return 2;
    }
    bool mark = false;
    bool gather = false;
    for (int i = 3; i < argc; ++i) {
        mark |= std::string(argv[i]) == "--mark";
        gather |= std::string(argv[i]) == "--gather";
    }
    const size_t files = argc > 3 && argv[3][0] != '-' ? std::strtoul(argv[3], nullptr, 10) : 300;
    const std::vector<Block> blocks = FirstBlocks(argv[1], files, mark);
    if (blocks.empty()) {
        std::fprintf(stderr, "no files under %s\n", argv[1]);
        return 2;
    }
    sjis::QuickLook look;
    look.Add(word.c_str());
    if (gather) {
        static char text[limits::kTextBuffer];
        long long gathered = 0;
        const double best = BestOfRounds([&] {
            gathered = 0;
            for (const Block& block : blocks) {
                sjis::TextFileBytes bytes(INVALID_HANDLE_VALUE, block.data(),
                                          static_cast<DWORD>(block.size()));
                sjis::SjisCharReader<sjis::TextFileBytes> reader(bytes);
                // The first line on its own, then the rest, as the search reads.
                int length = reader.ReadText(text, limits::kTextBytes, true);
                if (reader.Stop() == sjis::TextStop::kLineFeed) {
                    length += reader.ReadText(text + length, limits::kTextBytes - length);
                }
                gathered += length;
            }
        });
        std::printf("%zu blocks, %lld bytes of text gathered: %.3f us per block\n", blocks.size(),
                    gathered, best * 1e6 / static_cast<double>(blocks.size()));
        return 0;
    }
    int mayHold = 0;
    const double best = BestOfRounds([&] {
        mayHold = 0;
        for (const Block& block : blocks) {
            sjis::TextFileBytes bytes(INVALID_HANDLE_VALUE, block.data(),
                                      static_cast<DWORD>(block.size()));
            mayHold += look.MayHoldWords(bytes, limits::kTextBytes) ? 1 : 0;
        }
    });
    std::printf("%zu blocks, %d may hold the word: %.3f us per block\n", blocks.size(), mayHold,
                best * 1e6 / static_cast<double>(blocks.size()));
    return 0;
}
