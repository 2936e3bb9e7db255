// Handle tables, the driver in use, text conversion and regions.
#include "platform/src/ui/state.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <cstdio>
#include <set>

#include <sorahiki/codepage.h>

namespace sorahiki::ui {

namespace {

// Shows nothing and answers every box at once: the layer without a display,
// which is what the driver's defaults do.
class NullDriver final : public Driver {};

std::unique_ptr<Driver>& DriverSlot() {
    static std::unique_ptr<Driver> driver = std::make_unique<NullDriver>();
    return driver;
}

// Handles are never reused, so a stale handle stays invalid after a reset.
std::uintptr_t g_nextHandle = 0x10010;

std::map<HWND, std::unique_ptr<Window>>& Windows() {
    static std::map<HWND, std::unique_ptr<Window>> windows;
    return windows;
}

std::map<HMENU, std::unique_ptr<Menu>>& Menus() {
    static std::map<HMENU, std::unique_ptr<Menu>> menus;
    return menus;
}

}  // namespace

void SetDriver(std::unique_ptr<Driver> driver) {
    DriverSlot() = driver ? std::move(driver) : std::make_unique<NullDriver>();
}

Driver* CurrentDriver() {
    return DriverSlot().get();
}
Driver& CurrentDriverRef() {
    return *DriverSlot();
}

int ScreenDpi() {
    return std::max(CurrentDriverRef().TextDpi(), 1);
}

HINSTANCE ProgramInstance() {
    return reinterpret_cast<HINSTANCE>(0x400000);
}

int& ModalDepth() {
    static int depth = 0;
    return depth;
}

HWND NewWindowHandle() {
    g_nextHandle += 4;
    return reinterpret_cast<HWND>(g_nextHandle);
}

Window* AddWindow(HWND hwnd) {
    auto& slot = Windows()[hwnd];
    slot = std::make_unique<Window>();
    slot->handle = hwnd;
    return slot.get();
}

void RemoveWindow(HWND hwnd) {
    Windows().erase(hwnd);
}

Window* FindWindowObject(HWND hwnd) {
    auto it = Windows().find(hwnd);
    return it == Windows().end() ? nullptr : it->second.get();
}

std::vector<Window*> AllWindows() {
    std::vector<Window*> all;
    for (auto& [handle, window] : Windows()) all.push_back(window.get());
    return all;
}

HMENU NewMenu() {
    g_nextHandle += 4;
    HMENU handle = reinterpret_cast<HMENU>(g_nextHandle);
    Menus()[handle] = std::make_unique<Menu>();
    return handle;
}

Menu* FindMenuObject(HMENU menu) {
    auto it = Menus().find(menu);
    return it == Menus().end() ? nullptr : it->second.get();
}

void ForgetMenus() {
    Menus().clear();
}

void ForgetMenu(HMENU menu) {
    Menus().erase(menu);
}

void ResetState() {
    // Top-level windows first (their children go with them), then any left.
    std::vector<HWND> top_level, all;
    for (Window* w : AllWindows()) {
        all.push_back(w->handle);
        if (w->TopLevel()) top_level.push_back(w->handle);
    }
    for (HWND hwnd : top_level) DestroyWindow(hwnd);
    for (HWND hwnd : all) DestroyWindow(hwnd);
    ClearQueue();
    ForgetClasses();
    ForgetMenus();
    ModalDepth() = 0;
}

// ---- Regions ---------------------------------------------------------------
void Region::Add(const RECT& r) {
    if (r.left >= r.right || r.top >= r.bottom) return;
    for (const RECT& have : rects) {
        if (have.left <= r.left && have.top <= r.top && have.right >= r.right &&
            have.bottom >= r.bottom) {
            return;
        }
    }
    std::erase_if(rects, [&](const RECT& have) {
        return r.left <= have.left && r.top <= have.top && r.right >= have.right &&
               r.bottom >= have.bottom;
    });
    rects.push_back(r);
    if (rects.size() > 32) {  // many small pieces: paint their bounding box
        RECT all = Bounds();
        rects.assign(1, all);
    }
}

RECT Region::Bounds() const {
    if (rects.empty()) return RECT{0, 0, 0, 0};
    RECT all = rects.front();
    for (const RECT& r : rects) {
        all.left = std::min(all.left, r.left);
        all.top = std::min(all.top, r.top);
        all.right = std::max(all.right, r.right);
        all.bottom = std::max(all.bottom, r.bottom);
    }
    return all;
}

void ReportUnsupported([[maybe_unused]] const char* call,
                       [[maybe_unused]] const std::string& what) {
#ifndef NDEBUG
    static std::set<std::string> reported;
    std::string line = std::string(call) + ": " + what;
    if (reported.insert(line).second) {
        std::fprintf(stderr, "sorahiki layer: not implemented, ignored: %s\n", line.c_str());
    }
#endif
}

// ---- Text --------------------------------------------------------------------
namespace {

// iconv from one encoding to another; a unit of `skip` bytes that has no
// form is replaced by `mark` (already in the target encoding).
std::string Recode(const char* text, size_t bytes, const char* from, const char* to, size_t skip,
                   const std::string& mark) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return {};
    std::string result(bytes * 4 + 4, '\0');
    char* in = const_cast<char*>(text);
    size_t in_left = bytes;
    char* out = result.data();
    size_t out_left = result.size();
    while (in_left > 0 && iconv(cd, &in, &in_left, &out, &out_left) == static_cast<size_t>(-1)) {
        if (errno != EILSEQ && errno != EINVAL) break;
        const size_t step = std::min(in_left, skip);
        in += step;
        in_left -= step;
        if (out_left < mark.size()) break;
        mark.copy(out, mark.size());
        out += mark.size();
        out_left -= mark.size();
    }
    iconv_close(cd);
    result.resize(result.size() - out_left);
    return result;
}

}  // namespace

std::string Utf8FromCp932(const std::string& cp932) {
    std::string out;
    Cp932ToUtf8(cp932, out);
    return out;
}

std::string Cp932FromUtf8(const std::string& utf8) {
    std::string out;
    Utf8ToCp932(utf8, out);
    return out;
}

// UTF-16 in the templates' (and the x86 wide calls') little-endian byte
// order. A unit with no UTF-8 form (a lone surrogate) becomes U+FFFD.
std::string Utf8FromUtf16(const char16_t* text, size_t length) {
    return Recode(reinterpret_cast<const char*>(text), length * sizeof(char16_t), "UTF-16LE",
                  "UTF-8", sizeof(char16_t), "\xEF\xBF\xBD");
}

// A byte that begins no UTF-8 character (a name that is not UTF-8) becomes
// U+FFFD.
std::u16string Utf16FromUtf8(const std::string& utf8) {
    const std::string bytes =
        Recode(utf8.data(), utf8.size(), "UTF-8", "UTF-16LE", 1, std::string("\xFD\xFF", 2));
    std::u16string out(bytes.size() / 2, u'\0');
    std::memcpy(out.data(), bytes.data(), out.size() * sizeof(char16_t));
    return out;
}

std::string Cp932FromUtf16(const char16_t* text, size_t length) {
    return Cp932FromUtf8(Utf8FromUtf16(text, length));
}

int CopyTextOut(const std::string& text, char* out, int max) {
    if (out == nullptr || max <= 0) return 0;
    size_t n = std::min(text.size(), static_cast<size_t>(max) - 1);
    text.copy(out, n);
    out[n] = '\0';
    return static_cast<int>(n);
}

}  // namespace sorahiki::ui
