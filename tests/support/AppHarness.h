// Starts and drives the whole program in a test, without a display, through
// the headless driver of the window layer. g_app and the input globals live
// for the process, so every test begins with ResetProgram(), which puts the
// layer, the globals and g_app back to their state at process start.
#pragma once

#include <cstring>
#include <functional>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include <sorahiki/headless.h>

#include "app/Application.h"
#include "screen/ScreenGlobals.h"
#include "window/Window.h"

namespace apptest {

namespace headless = sorahiki::headless;

// The exit status RunProgram ends the frame loop with when the program is
// still running after its last turn.
constexpr int kStillRunning = 0x5a5a;

inline HINSTANCE Instance() {
    return GetModuleHandleA(nullptr);
}

inline void ResetProgram() {
    // The program first: its window objects leave the list, so the messages
    // of the layer's reset, which destroys the windows, reach none of them.
    ResetProgramGlobals();
    headless::Use();
    headless::Reset();
}

// Start-up as the entry point runs it, without the frame loop.
inline bool StartUp(int nCmdShow = SW_SHOWDEFAULT) {
    g_app.m_hInstance = Instance();
    g_app.m_nCmdShow = nCmdShow;
    return g_app.InitInstance();
}

// Runs up to nTurns turns of the frame loop; the quit message's value if the
// loop took it.
inline std::optional<int> RunTurns(int nTurns) {
    int nExitCode = 0;
    for (int i = 0; i < nTurns; ++i) {
        if (!g_app.m_sub_RunOneTurn(&nExitCode)) return nExitCode;
    }
    return std::nullopt;
}

// Dispatches every queued message outside the frame loop; true when it met
// the quit message.
inline bool PumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) return true;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return false;
}

// Runs the program through its entry point, with pszCommandLine as the
// command line after the program's name. atTurn sees every turn of the
// frame loop, numbered from 1, before the turn takes its message. After
// nTurnLimit turns the loop is ended with kStillRunning. *pnTurns, if given,
// receives the number of turns that began.
inline int RunProgram(std::function<void(int)> atTurn = {}, int nTurnLimit = 40,
                      int* pnTurns = nullptr, int nCmdShow = SW_SHOWDEFAULT,
                      const std::string& commandLine = "") {
    int nTurns = 0;
    headless::SetTurnHook([&](int turn) {
        nTurns = turn;
        if (atTurn) atTurn(turn);
        if (turn == nTurnLimit) PostQuitMessage(kStillRunning);
    });
    std::string szCommandLine = commandLine;
    const int nStatus = WinMain(Instance(), nullptr, szCommandLine.data(), nCmdShow);
    headless::SetTurnHook({});
    if (pnTurns != nullptr) *pnTurns = nTurns;
    return nStatus;
}

// The message boxes shown so far, as (caption, text, type) for comparisons.
struct BoxSeen {
    std::string caption;
    std::string text;
    UINT type;
    bool operator==(const BoxSeen&) const = default;
};

inline std::vector<BoxSeen> BoxesSeen() {
    std::vector<BoxSeen> seen;
    for (const auto& box : headless::Boxes()) seen.push_back({box.caption, box.text, box.type});
    return seen;
}

}  // namespace apptest
