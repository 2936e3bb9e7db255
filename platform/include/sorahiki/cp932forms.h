// The code page 932 form of every character of the Basic Multilingual Plane,
// as the system's own converter gives it, for text that arrives in UTF-8 or
// UTF-16. One call asks the converter about all 65,536 code units at once, so
// a caller builds its table once and converts without the system after that.
#pragma once

#include <atomic>
#include <mutex>

constexpr int kBmpSize = 0x10000;

// Pairs of characters with one code page 932 form between them, which
// converts back to the second: "〜" U+301C takes 0x81 0x60, which is "～"
// U+FF5E. Text and names give both characters of a pair that one form.
struct SharedCp932Form {
    char16_t alone;         // its form converts back to the other character
    char16_t convertsBack;  // the character the form converts back to
};
inline constexpr SharedCp932Form kSharedCp932Forms[] = {
    {0x301C, 0xFF5E}, {0x2212, 0xFF0D}, {0x2016, 0x2225}, {0x2014, 0x2015},
    {0x00A2, 0xFFE0}, {0x00A3, 0xFFE1}, {0x00AC, 0xFFE2},
};

// Writes forms[c] for every code unit c: 0 when the character has no form
// (no best-fit substitute is ever taken, a surrogate has none), the byte when
// the form is one byte, (first << 8) | second when it is two. False, with
// every form 0, when the system's converter cannot be had (loading it takes
// a file descriptor, which a process may be short of): read again later.
bool ReadCp932Forms(unsigned short forms[kBmpSize]);

// A table made from the converter's forms, kept once one was made from a
// converter that could be had. Until then each call tries again and hands out
// `fallback` (no forms), never a table being written; once made, the table is
// only read. `Make(T&)` returns false when the converter could not be had.
template <typename T, bool (*Make)(T&)>
class CFormsOnceRead {
  public:
    const T& Get(const T& fallback) {
        if (!ready.load(std::memory_order_acquire)) {
            std::lock_guard<std::mutex> lock(mutex);
            if (!ready.load(std::memory_order_relaxed) && Make(table)) {
                ready.store(true, std::memory_order_release);
            }
            if (!ready.load(std::memory_order_relaxed)) return fallback;
        }
        return table;
    }
    bool Ready() const { return ready.load(std::memory_order_acquire); }

  private:
    T table{};
    std::atomic<bool> ready{false};
    std::mutex mutex;
};
