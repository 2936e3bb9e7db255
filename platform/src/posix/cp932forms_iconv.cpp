// Code page 932 forms over iconv, a few thousand characters per call: each
// character is followed by a line feed, and the converter leaves out the
// characters it has no form for, so the line feeds tell the forms apart.
// The buffers of a call live on the heap: the table may be built on a reader
// thread with a small stack.
#include <cerrno>
#include <iconv.h>

#include <new>
#include <vector>

#include <sorahiki/cp932forms.h>

namespace {

constexpr int kChunk = 4096;

bool IsSkipped(int c) {
    return (c >= 0xD800 && c <= 0xDFFF) || c == '\n';
}

// Converts all of `in`; a character the converter refuses outright is
// stepped over, which leaves its form empty.
void ConvertAll(iconv_t converter, char* in, size_t inLeft, char*& out, size_t outLeft) {
    while (inLeft > 0) {
        char* before = in;
        if (iconv(converter, &in, &inLeft, &out, &outLeft) != static_cast<size_t>(-1)) return;
        if (errno != EILSEQ) return;
        if (in == before && inLeft >= 2) {
            in += 2;
            inLeft -= 2;
        }
    }
}

struct ChunkBuffers {
    std::vector<char16_t> in = std::vector<char16_t>(2 * kChunk);
    std::vector<char> out = std::vector<char>(3 * kChunk);
};

void ReadChunk(iconv_t converter, int first, ChunkBuffers& buffers,
               unsigned short forms[kBmpSize]) {
    char16_t* in = buffers.in.data();
    int units = 0;
    for (int c = first; c < first + kChunk; ++c) {
        if (IsSkipped(c)) continue;
        in[units++] = static_cast<char16_t>(c);
        in[units++] = u'\n';
    }
    char* out = buffers.out.data();
    char* end = out;
    ConvertAll(converter, reinterpret_cast<char*>(in), 2 * static_cast<size_t>(units), end,
               buffers.out.size());
    const auto* p = reinterpret_cast<const unsigned char*>(out);
    const auto* stop = reinterpret_cast<const unsigned char*>(end);
    for (int c = first; c < first + kChunk && p < stop; ++c) {
        if (IsSkipped(c)) continue;
        const unsigned char* form = p;
        while (p < stop && *p != '\n') ++p;
        if (p - form == 1) forms[c] = form[0];
        if (p - form == 2) forms[c] = static_cast<unsigned short>(form[0] << 8 | form[1]);
        ++p;
    }
}

}  // namespace

// Without memory for the converter or the buffers, std::bad_alloc: no table
// is then taken for one of a system without the converter.
bool ReadCp932Forms(unsigned short forms[kBmpSize]) {
    for (int c = 0; c < kBmpSize; ++c) forms[c] = 0;
    ChunkBuffers buffers;
    iconv_t converter = iconv_open("CP932//IGNORE", "UTF-16LE");
    if (converter == reinterpret_cast<iconv_t>(-1) && errno == ENOMEM) throw std::bad_alloc();
    if (converter == reinterpret_cast<iconv_t>(-1)) return false;
    for (int first = 0; first < kBmpSize; first += kChunk) {
        ReadChunk(converter, first, buffers, forms);
    }
    iconv_close(converter);
    forms[0x0A] = 0x0A;  // the separator, never converted itself
    return true;
}
