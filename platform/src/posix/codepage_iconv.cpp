// Code page conversion over iconv, with one converter per direction kept for
// the thread's lifetime (opening one is costly, a folder walk converts every
// name). Text that is all ASCII is the same in both code pages and is copied.
// A conversion that cannot have memory throws std::bad_alloc, as the text it
// appends to does: it is never taken for text that has no other form.
#include <sorahiki/codepage.h>

#include <iconv.h>

#include <cerrno>
#include <new>

#include "platform/src/core/thread_slot.h"

namespace {

constexpr std::string_view kReplacementUtf8 = "\xEF\xBF\xBD";

class Converter {
  public:
    Converter(const char* to, const char* from) : m_to(to), m_from(from) {}
    ~Converter() {
        if (m_cd != reinterpret_cast<iconv_t>(-1)) iconv_close(m_cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts `in`. Where the input cannot be converted, `onBad` appends a
    // stand-in and returns how many bytes to skip. Returns false when any
    // input was skipped.
    template <typename OnBad>
    bool Convert(std::string_view in, std::string& out, OnBad onBad) {
        out.clear();
        if (!m_sub_Open()) return false;
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        bool clean = true;
        char* src = const_cast<char*>(in.data());
        size_t srcLeft = in.size();
        char chunk[1024];
        while (srcLeft > 0) {
            char* dst = chunk;
            size_t dstLeft = sizeof chunk;
            size_t rc = iconv(m_cd, &src, &srcLeft, &dst, &dstLeft);
            out.append(chunk, static_cast<size_t>(dst - chunk));
            if (rc != static_cast<size_t>(-1)) continue;
            if (errno == E2BIG) continue;
            // EILSEQ or EINVAL: the byte under the cursor begins nothing valid.
            clean = false;
            size_t skip = onBad(out, std::string_view(src, srcLeft));
            src += skip;
            srcLeft -= skip;
            iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        }
        return clean;
    }

  private:
    // Opening loads the system's converter, which takes a file descriptor:
    // one that could not be opened for want of it is opened again next time.
    bool m_sub_Open() {
        if (m_cd == reinterpret_cast<iconv_t>(-1)) m_cd = iconv_open(m_to, m_from);
        if (m_cd == reinterpret_cast<iconv_t>(-1) && errno == ENOMEM) throw std::bad_alloc();
        return m_cd != reinterpret_cast<iconv_t>(-1);
    }

    const char* m_to;
    const char* m_from;
    iconv_t m_cd = reinterpret_cast<iconv_t>(-1);
};

// Length of the UTF-8 sequence that `rest` begins with, or 1 when it begins
// with no valid sequence: a character with no code page 932 form is skipped
// as a whole.
size_t Utf8SequenceLength(std::string_view rest) {
    auto lead = static_cast<unsigned char>(rest[0]);
    size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (length > rest.size()) return 1;
    for (size_t i = 1; i < length; ++i) {
        if ((static_cast<unsigned char>(rest[i]) & 0xC0) != 0x80) return 1;
    }
    return length;
}

bool IsAscii(std::string_view text) {
    for (unsigned char c : text) {
        if (c >= 0x80) return false;
    }
    return true;
}

struct ToUtf8 : Converter {
    ToUtf8() : Converter("UTF-8", "CP932") {}
};
struct ToCp932 : Converter {
    ToCp932() : Converter("CP932", "UTF-8") {}
};

template <typename T>
T& ThisThreads() {
    static CThreadSlot<T> slot;
    T* converter = slot.Get();
    if (converter == nullptr) throw std::bad_alloc();
    return *converter;
}

}  // namespace

bool Cp932ToUtf8(std::string_view in, std::string& out) {
    if (IsAscii(in)) {
        out.assign(in);
        return true;
    }
    return ThisThreads<ToUtf8>().Convert(in, out, [](std::string& o, std::string_view) {
        o.append(kReplacementUtf8);
        return size_t{1};
    });
}

bool Utf8ToCp932(std::string_view in, std::string& out) {
    if (IsAscii(in)) {
        out.assign(in);
        return true;
    }
    return ThisThreads<ToCp932>().Convert(in, out, [](std::string& o, std::string_view rest) {
        o.push_back('?');
        return Utf8SequenceLength(rest);
    });
}
