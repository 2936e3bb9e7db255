// Shared set-up of the window layer's conformance tests. The same tests run
// against the Linux layer (headless driver) and, cross-compiled, against
// Wine's Win32: each window records the messages its procedure receives.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

namespace conformance {

struct Received {
    HWND hwnd;
    UINT message;
    WPARAM wparam;
    LPARAM lparam;
};

// Messages that the recording procedure has seen, oldest first.
extern std::vector<Received> g_received;
// What the recording procedure answers to WM_NCCREATE and WM_CREATE.
extern LRESULT g_nccreateResult;
extern LRESULT g_createResult;

// Returns the layer to a clean state (the Linux build selects the headless
// driver); nothing to do on Windows.
void ResetLayer();

// The recorded messages among `wanted`, in order, for one window or all.
std::vector<UINT> Only(const std::vector<UINT>& wanted, HWND hwnd = nullptr);

class LayerTest : public ::testing::Test {
  protected:
    static constexpr const char* kClass = "ConformanceWindow";
    static constexpr DWORD kMainStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

    void SetUp() override;
    void TearDown() override;

    // A hidden top-level window like the program's main window.
    HWND CreateMain(HMENU menu = nullptr);
    // A child of the recording class with the given id.
    HWND CreateChild(HWND parent, int id);
    // Takes and dispatches every waiting message except WM_QUIT; returns
    // how many were taken.
    int Drain();

    HINSTANCE instance_ = nullptr;
    std::vector<HWND> created_;  // destroyed again by TearDown
};

}  // namespace conformance
