// Handle tables, the driver in use, text conversion and regions.
#include "platform/src/ui/state.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
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

// The resource texts are UTF-16 in the templates' little-endian byte order.
// A unit with no UTF-8 form (a lone surrogate) becomes U+FFFD, which the
// code page conversion then turns into "?".
std::string Cp932FromUtf16(const char16_t* text, size_t length) {
    iconv_t cd = iconv_open("UTF-8", "UTF-16LE");
    if (cd == reinterpret_cast<iconv_t>(-1)) return {};
    std::string utf8(length * 3, '\0');
    char* in = const_cast<char*>(reinterpret_cast<const char*>(text));
    size_t in_left = length * sizeof(char16_t);
    char* out = utf8.data();
    size_t out_left = utf8.size();
    while (in_left > 0 && iconv(cd, &in, &in_left, &out, &out_left) == static_cast<size_t>(-1)) {
        if (errno != EILSEQ && errno != EINVAL) break;
        const size_t skip = std::min(in_left, sizeof(char16_t));
        in += skip;
        in_left -= skip;
        if (out_left < 3) break;
        for (char c : {'\xEF', '\xBF', '\xBD'}) *out++ = c;
        out_left -= 3;
    }
    iconv_close(cd);
    utf8.resize(utf8.size() - out_left);
    return Cp932FromUtf8(utf8);
}

int CopyTextOut(const std::string& text, char* out, int max) {
    if (out == nullptr || max <= 0) return 0;
    size_t n = std::min(text.size(), static_cast<size_t>(max) - 1);
    text.copy(out, n);
    out[n] = '\0';
    return static_cast<int>(n);
}

}  // namespace sorahiki::ui
