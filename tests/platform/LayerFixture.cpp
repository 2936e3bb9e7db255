#include "tests/platform/LayerFixture.h"

#include <algorithm>

namespace conformance {

std::vector<Received> g_received;
LRESULT g_nccreateResult = TRUE;
LRESULT g_createResult = 0;

namespace {

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    g_received.push_back(Received{hwnd, message, wparam, lparam});
    if (message == WM_NCCREATE && g_nccreateResult == FALSE) return FALSE;
    if (message == WM_CREATE) return g_createResult;
    return DefWindowProcA(hwnd, message, wparam, lparam);
}

}  // namespace

std::vector<UINT> Only(const std::vector<UINT>& wanted, HWND hwnd) {
    std::vector<UINT> seen;
    for (const Received& r : g_received) {
        bool listed = std::find(wanted.begin(), wanted.end(), r.message) != wanted.end();
        if (listed && (hwnd == nullptr || r.hwnd == hwnd)) seen.push_back(r.message);
    }
    return seen;
}

void LayerTest::SetUp() {
    ResetLayer();
    g_received.clear();
    g_nccreateResult = TRUE;
    g_createResult = 0;
    instance_ = GetModuleHandleA(nullptr);
    WNDCLASSA wc{};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = RecordingProc;
    wc.hInstance = instance_;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    wc.lpszClassName = kClass;
    ASSERT_NE(RegisterClassA(&wc), 0);
}

void LayerTest::TearDown() {
    // Destroy what is left, oldest first, then forget the class.
    std::vector<HWND> windows = created_;
    for (const Received& r : g_received) {
        if (std::find(windows.begin(), windows.end(), r.hwnd) == windows.end()) {
            windows.push_back(r.hwnd);
        }
    }
    for (HWND hwnd : windows) {
        if (IsWindow(hwnd)) DestroyWindow(hwnd);
    }
    Drain();
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    EXPECT_TRUE(UnregisterClassA(kClass, instance_));
}

HWND LayerTest::CreateMain(HMENU menu) {
    HWND hwnd = CreateWindowExA(WS_EX_CLIENTEDGE, kClass, "Sorahiki", kMainStyle, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, menu,
                                instance_, nullptr);
    created_.push_back(hwnd);
    return hwnd;
}

HWND LayerTest::CreateChild(HWND parent, int id) {
    HWND hwnd =
        CreateWindowExA(0, kClass, "", WS_CHILD, 0, 0, 50, 20, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
    created_.push_back(hwnd);
    return hwnd;
}

int LayerTest::Drain() {
    int taken = 0;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ++taken;
        if (msg.message == WM_QUIT) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return taken;
}

}  // namespace conformance
