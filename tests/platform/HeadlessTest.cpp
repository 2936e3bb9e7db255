// The Linux layer with its headless driver: painting into the backing image,
// the draw-call log, modal message boxes, injected input and the shell.
#include <sorahiki/headless.h>
#include <sorahiki/listing.h>

#include <gtest/gtest.h>
#include <shellapi.h>
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <fstream>
#include <vector>

#include "res/resource.h"

namespace {

namespace hl = sorahiki::headless;

struct Seen {
    HWND hwnd;
    UINT message;
    WPARAM wparam;
    LPARAM lparam;
};
std::vector<Seen> g_seen;
std::function<void(HWND)> g_paint;   // what WM_PAINT draws
std::function<void(HWND)> g_onUser;  // what WM_USER does

LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    g_seen.push_back(Seen{hwnd, message, wparam, lparam});
    if (message == WM_PAINT && g_paint) {
        g_paint(hwnd);
        return 0;
    }
    if (message == WM_USER && g_onUser) {
        g_onUser(hwnd);
        return 0;
    }
    return DefWindowProcA(hwnd, message, wparam, lparam);
}

INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    g_seen.push_back(Seen{hwnd, message, wparam, lparam});
    return message == WM_INITDIALOG;
}

class HeadlessTest : public ::testing::Test {
  protected:
    void SetUp() override {
        hl::Reset();
        g_seen.clear();
        g_paint = nullptr;
        g_onUser = nullptr;
        WNDCLASSA wc{};
        wc.lpfnWndProc = Proc;
        wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
        wc.lpszClassName = "Headless";
        ASSERT_NE(RegisterClassA(&wc), 0);
        main_ = CreateWindowExA(
            WS_EX_CLIENTEDGE, "Headless", "Sorahiki", WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
            LoadMenuA(nullptr, MAKEINTRESOURCEA(IDR_MAINMENU)), nullptr, nullptr);
        ASSERT_NE(main_, nullptr);
        RECT client, outer;
        GetClientRect(main_, &client);
        GetWindowRect(main_, &outer);
        SetWindowPos(main_, HWND_TOP, 0, 0, 800 + (outer.right - outer.left) - client.right,
                     600 + (outer.bottom - outer.top) - client.bottom, SWP_NOMOVE);
        ShowWindow(main_, SW_SHOW);
    }
    void TearDown() override { hl::Reset(); }

    // Takes and dispatches everything waiting.
    void Pump() {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    std::vector<UINT> SeenBy(HWND hwnd, std::vector<UINT> wanted) {
        std::vector<UINT> seen;
        for (const Seen& s : g_seen) {
            if (s.hwnd == hwnd &&
                std::find(wanted.begin(), wanted.end(), s.message) != wanted.end())
                seen.push_back(s.message);
        }
        return seen;
    }

    HWND main_ = nullptr;
};

TEST_F(HeadlessTest, PaintingIsLoggedAndDrawnIntoTheBackingImage) {
    g_paint = [](HWND hwnd) {
        PAINTSTRUCT ps;
        HDC hdc = BeginPaint(hwnd, &ps);
        RECT grey{10, 10, 20, 20};
        FillRect(hdc, &grey, static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH)));
        TextOutA(hdc, 100, 40, "料理", 4);
        SetBkMode(hdc, TRANSPARENT);
        SetTextColor(hdc, RGB(255, 0, 0));
        TextOutA(hdc, 100, 80, "abc", 2);
        EndPaint(hwnd, &ps);
    };
    Pump();
    const auto& calls = hl::DrawCalls();
    ASSERT_EQ(calls.size(), 7u);
    EXPECT_EQ(calls[0].call, hl::Draw::BeginPaint);
    EXPECT_TRUE(calls[0].erase);
    EXPECT_EQ(calls[0].rect.right, 800);
    EXPECT_EQ(calls[0].rect.bottom, 600);
    EXPECT_EQ(calls[1].call, hl::Draw::FillRect);
    EXPECT_EQ(calls[1].colour, RGB(192, 192, 192));
    EXPECT_EQ(calls[2].call, hl::Draw::TextOut);
    EXPECT_EQ(calls[2].bytes, "料理");
    EXPECT_EQ(calls[2].colour, RGB(0, 0, 0));
    EXPECT_EQ(calls[2].bk_mode, OPAQUE);
    EXPECT_EQ(calls[5].call, hl::Draw::TextOut);
    EXPECT_EQ(calls[5].bytes, "ab");
    EXPECT_EQ(calls[5].colour, RGB(255, 0, 0));
    EXPECT_EQ(calls[5].bk_mode, TRANSPARENT);
    EXPECT_EQ(calls[6].call, hl::Draw::EndPaint);

    // A fill covers its rectangle without the right column and bottom row.
    EXPECT_EQ(hl::Pixel(10, 10), RGB(192, 192, 192));
    EXPECT_EQ(hl::Pixel(19, 19), RGB(192, 192, 192));
    EXPECT_EQ(hl::Pixel(20, 19), RGB(255, 255, 255));
    EXPECT_EQ(hl::Pixel(19, 20), RGB(255, 255, 255));
    // The text left dark pixels in its line and nothing far below it.
    int dark = 0;
    for (int y = 40; y < 56; ++y) {
        for (int x = 100; x < 130; ++x) dark += GetRValue(hl::Pixel(x, y)) < 128;
    }
    EXPECT_GT(dark, 10);
    EXPECT_EQ(hl::Pixel(110, 60), RGB(255, 255, 255));
}

TEST_F(HeadlessTest, PaintingIsClippedToTheInvalidRegion) {
    Pump();
    g_paint = [](HWND hwnd) {
        PAINTSTRUCT ps;
        HDC hdc = BeginPaint(hwnd, &ps);
        RECT all{0, 0, 800, 600};
        FillRect(hdc, &all, static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH)));
        EndPaint(hwnd, &ps);
    };
    RECT left{0, 0, 50, 50};
    RECT right{700, 500, 800, 600};
    InvalidateRect(main_, &left, FALSE);
    InvalidateRect(main_, &right, TRUE);
    hl::ClearLogs();
    Pump();
    EXPECT_EQ(hl::Pixel(0, 0), RGB(192, 192, 192));
    EXPECT_EQ(hl::Pixel(799, 599), RGB(192, 192, 192));
    EXPECT_EQ(hl::Pixel(400, 300), RGB(255, 255, 255));  // inside the bounds, outside the region
    ASSERT_FALSE(hl::DrawCalls().empty());
    EXPECT_EQ(hl::DrawCalls()[0].rect.left, 0);
    EXPECT_EQ(hl::DrawCalls()[0].rect.right, 800);
    EXPECT_TRUE(hl::DrawCalls()[0].erase);
}

TEST_F(HeadlessTest, InvalidationsAreLoggedAsCalled) {
    RECT band{0, 45, 800, 600};
    InvalidateRect(main_, &band, TRUE);
    InvalidateRect(main_, nullptr, FALSE);
    const auto& log = hl::Invalidations();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].hwnd, main_);
    ASSERT_TRUE(log[0].rect.has_value());
    EXPECT_EQ(log[0].rect->top, 45);
    EXPECT_TRUE(log[0].erase);
    EXPECT_FALSE(log[1].rect.has_value());
    EXPECT_FALSE(log[1].erase);
}

TEST_F(HeadlessTest, MessageBoxIsModalButKeepsDispatching) {
    Pump();
    int answer = 0;
    std::vector<UINT> before_answer;
    g_onUser = [&](HWND hwnd) { answer = MessageBoxA(hwnd, "本文", "題", MB_YESNO); };
    int polls = 0;
    hl::SetAnswerer([&](const hl::ShownBox&) {
        if (++polls == 1) {
            PostMessageA(main_, WM_USER + 1, 0, 0);
            hl::LeftDown(5, 100);  // input for the disabled owner
            return 0;
        }
        for (const Seen& s : g_seen) before_answer.push_back(s.message);
        return IDYES;
    });
    PostMessageA(main_, WM_USER, 0, 0);
    g_seen.clear();
    Pump();
    EXPECT_EQ(answer, IDYES);
    ASSERT_EQ(hl::Boxes().size(), 1u);
    EXPECT_EQ(hl::Boxes()[0].owner, main_);
    EXPECT_EQ(hl::Boxes()[0].text, "本文");
    EXPECT_EQ(hl::Boxes()[0].caption, "題");
    EXPECT_EQ(hl::Boxes()[0].type, static_cast<UINT>(MB_YESNO));
    EXPECT_EQ(hl::Boxes()[0].answer, IDYES);
    EXPECT_NE(std::find(before_answer.begin(), before_answer.end(), WM_USER + 1),
              before_answer.end());
    EXPECT_EQ(std::find(before_answer.begin(), before_answer.end(), WM_LBUTTONDOWN),
              before_answer.end());
}

TEST_F(HeadlessTest, QueuedAnswersAreUsedInOrder) {
    hl::QueueAnswer(IDNO);
    hl::QueueAnswer(IDOK);
    EXPECT_EQ(MessageBoxA(nullptr, "a", "b", MB_YESNO), IDNO);
    EXPECT_EQ(MessageBoxA(nullptr, "c", "d", MB_OK), IDOK);
    EXPECT_EQ(hl::Boxes().size(), 2u);
    EXPECT_EQ(hl::Boxes()[1].owner, nullptr);
}

TEST_F(HeadlessTest, InputArrivesAsTheMessagesAPersonCauses) {
    Pump();
    g_seen.clear();
    hl::MouseMove(10, 100);
    hl::MouseMove(20, 200);  // replaces the move not yet taken
    hl::LeftDown(30, 300);
    hl::LeftUp(30, 300);
    hl::RightDown(40, 400);
    hl::PressEscape();
    hl::ChooseMenuItem(IDM_ABOUT);
    hl::OpenMenu(0);
    hl::RequestClose();
    MSG msg;
    std::vector<MSG> taken;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) taken.push_back(msg);
    std::vector<UINT> messages;
    for (const MSG& m : taken) messages.push_back(m.message);
    // Posted messages come before input, as on Windows.
    EXPECT_EQ(messages, (std::vector<UINT>{WM_COMMAND, WM_INITMENUPOPUP, WM_CLOSE, WM_MOUSEMOVE,
                                           WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_KEYDOWN,
                                           WM_KEYUP}));
    EXPECT_EQ(taken[0].wParam, MAKEWPARAM(IDM_ABOUT, 0));
    EXPECT_EQ(taken[0].lParam, 0);
    EXPECT_EQ(reinterpret_cast<HMENU>(taken[1].wParam), GetSubMenu(GetMenu(main_), 0));
    EXPECT_EQ(taken[1].lParam, 0);
    EXPECT_EQ(taken[3].lParam, MAKELPARAM(20, 200));
    EXPECT_EQ(taken[4].wParam, static_cast<WPARAM>(MK_LBUTTON));
    EXPECT_EQ(taken[7].wParam, static_cast<WPARAM>(VK_ESCAPE));
    for (const MSG& m : taken) EXPECT_EQ(m.hwnd, main_);
}

TEST_F(HeadlessTest, DialogControlsTakeClicksAndTyping) {
    HWND bar = CreateDialogParamA(nullptr, MAKEINTRESOURCEA(IDD_SEARCHBAR), main_, DialogProc, 0);
    MoveWindow(bar, 230, 5, 405, 40, TRUE);
    ShowWindow(bar, SW_SHOW);
    Pump();
    g_seen.clear();
    hl::TypeText(GetDlgItem(bar, IDC_SEARCH_EDIT), "料理 soup");
    hl::PressButton(bar, IDC_SEARCH_BUTTON);
    hl::LeftDown(300, 20);  // on the bar: not the main window's
    Pump();
    char text[32];
    EXPECT_EQ(GetWindowTextA(GetDlgItem(bar, IDC_SEARCH_EDIT), text, sizeof text), 9);
    EXPECT_STREQ(text, "料理 soup");
    std::vector<WPARAM> commands;
    for (const Seen& s : g_seen) {
        if (s.hwnd == bar && s.message == WM_COMMAND) commands.push_back(s.wparam);
    }
    EXPECT_EQ(commands, (std::vector<WPARAM>{MAKEWPARAM(IDC_SEARCH_EDIT, EN_UPDATE),
                                             MAKEWPARAM(IDC_SEARCH_EDIT, EN_CHANGE),
                                             MAKEWPARAM(IDC_SEARCH_BUTTON, BN_CLICKED)}));
    EXPECT_TRUE(SeenBy(main_, {WM_LBUTTONDOWN}).empty());
    // The picture shows the bar: its grey background and the white edit box.
    EXPECT_EQ(hl::Pixel(232, 6), RGB(240, 240, 240));
    EXPECT_EQ(hl::Pixel(480, 25), RGB(255, 255, 255));
}

TEST_F(HeadlessTest, ShellCallsAreRecordedWithTheirNulls) {
    const auto oldDir = std::filesystem::current_path();
    const auto dir = std::filesystem::temp_directory_path() / "sorahiki-headless-shell";
    std::filesystem::create_directories(dir / u8"DATA/料理");
    std::filesystem::current_path(dir);
    auto open = [] {
        return reinterpret_cast<INT_PTR>(
            ShellExecuteA(nullptr, "open", "DATA\\料理\\a.txt", nullptr, nullptr, SW_SHOWNORMAL));
    };
    // A file that is not there opens nothing.
    EXPECT_EQ(open(), SE_ERR_FNF);
    EXPECT_TRUE(hl::ShellCalls().empty());
    std::ofstream(std::filesystem::path(u8"DATA/料理/a.txt")) << "a\n";
    EXPECT_GT(open(), 32);
    std::filesystem::current_path(oldDir);
    std::filesystem::remove_all(dir);
    ASSERT_EQ(hl::ShellCalls().size(), 1u);
    const hl::ShellCall& call = hl::ShellCalls()[0];
    EXPECT_EQ(call.verb, std::optional<std::string>("open"));
    EXPECT_EQ(call.file, std::optional<std::string>("DATA\\料理\\a.txt"));
    EXPECT_FALSE(call.params.has_value());
    EXPECT_FALSE(call.dir.has_value());
    EXPECT_EQ(call.show, SW_SHOWNORMAL);
}

// A marked path whose file was renamed after it was listed opens nothing,
// never the file named as its form reads ("〓.txt").
TEST_F(HeadlessTest, ShellOpensNoMarkedPathThatItsKeyNoLongerFinds) {
    namespace fs = std::filesystem;
    const fs::path folder = fs::temp_directory_path() / "sorahiki-headless-marked";
    fs::create_directories(folder);
    std::ofstream(folder / fs::path(u8"📝.txt")) << "memo";
    WIN32_FIND_DATAA found;
    FindClose(FindFirstFileA((folder.string() + "/*.txt").c_str(), &found));
    std::string path = folder.string() + "/" + found.cFileName + '\0' + "1234";
    listed::WriteKey(found.dwReserved1, path.data() + path.size() - listed::kKeyBytes);
    fs::rename(folder / fs::path(u8"📝.txt"), folder / fs::path(u8"📓.txt"));
    std::ofstream(folder / fs::path(u8"〓.txt")) << "literal";
    HINSTANCE result =
        ShellExecuteA(nullptr, "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    EXPECT_EQ(reinterpret_cast<INT_PTR>(result), SE_ERR_FNF);
    EXPECT_TRUE(hl::ShellCalls().empty());
    fs::remove_all(folder);
}

TEST_F(HeadlessTest, TurnHookSeesEveryPeekAndCanEndTheLoop) {
    std::vector<int> turns;
    hl::SetTurnHook([&](int turn) {
        turns.push_back(turn);
        if (turn == 3) PostQuitMessage(9);
    });
    MSG msg{};
    int peeks = 0;
    while (!(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE) && msg.message == WM_QUIT)) {
        if (msg.message != WM_QUIT) DispatchMessageA(&msg);
        ++peeks;
    }
    EXPECT_EQ(msg.wParam, 9u);
    EXPECT_EQ(turns.size(), static_cast<size_t>(peeks) + 1);
    EXPECT_EQ(turns.front(), 1);
}

TEST_F(HeadlessTest, ResetDestroysEverythingSoStartUpCanRunAgain) {
    g_seen.clear();
    PostMessageA(main_, WM_USER, 0, 0);
    hl::Reset();
    EXPECT_FALSE(IsWindow(main_));
    EXPECT_EQ(SeenBy(main_, {WM_DESTROY, WM_NCDESTROY}),
              (std::vector<UINT>{WM_DESTROY, WM_NCDESTROY}));
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    WNDCLASSA info;
    EXPECT_FALSE(GetClassInfoA(nullptr, "Headless", &info));
    EXPECT_TRUE(hl::DrawCalls().empty());
    EXPECT_EQ(hl::MainWindow(), nullptr);
}

TEST_F(HeadlessTest, PictureIsSavedAsPng) {
    Pump();
    auto path = std::filesystem::temp_directory_path() / "sorahiki-headless-test.png";
    ASSERT_TRUE(hl::SavePng(path.string()));
    std::ifstream in(path, std::ios::binary);
    char magic[4] = {};
    in.read(magic, 4);
    EXPECT_EQ(std::string(magic + 1, 3), "PNG");
    std::filesystem::remove(path);
}

}  // namespace
