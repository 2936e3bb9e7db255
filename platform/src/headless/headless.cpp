// The headless driver: no display. It records what a display would show and
// lets tests give the input a person would.
#include <sorahiki/headless.h>

#include <cstdio>
#include <deque>

#include "platform/src/ui/paint.h"
#include "platform/src/ui/state.h"

namespace sorahiki::headless {
namespace {

struct Recorded {
    std::vector<DrawCall> draws;
    std::vector<Invalidation> invalidations;
    std::vector<ShellCall> shells;
    std::vector<AccessibleEventCall> accessible_events;
    std::vector<ShownBox> boxes;
    std::deque<int> answers;
    std::vector<ShownMenu> menus;
    std::deque<UINT> choices;
    std::deque<std::string> folder_choices;  // "" cancels the picker
    std::string clipboard;
    std::function<int(const ShownBox&)> answerer;
    std::function<void(int)> turn_hook;
    int turns = 0;
    int dpi = USER_DEFAULT_SCREEN_DPI;
    RECT work_area{0, 0, 1920, 1040};
};

Recorded& State() {
    static Recorded state;
    return state;
}

std::optional<std::string> Given(bool has, const std::string& value) {
    return has ? std::optional<std::string>(value) : std::nullopt;
}

class HeadlessDriver : public ui::Driver {
  public:
    bool Init() override { return true; }

    int TextDpi() override { return State().dpi; }
    bool MonitorAreas(int monitor, RECT* whole, RECT* work) override {
        *whole = *work = State().work_area;
        return monitor == 0;
    }

    void PumpEvents() override {
        Recorded& s = State();
        if (ui::ModalDepth() != 0 || !s.turn_hook) return;
        auto hook = s.turn_hook;  // the hook may replace itself
        hook(++s.turns);
    }

    void BeginMessageBox(const ui::MessageBoxRequest& box) override {
        State().boxes.push_back(
            ShownBox{box.owner, box.text_cp932, box.caption_cp932, box.type, 0});
    }

    bool PollMessageBox(int* answer) override {
        Recorded& s = State();
        ShownBox& box = s.boxes.back();
        if (!s.answers.empty()) {
            *answer = s.answers.front();
            s.answers.pop_front();
        } else if (s.answerer) {
            auto answerer = s.answerer;
            *answer = answerer(box);
            if (*answer == 0) return false;
        } else {
            *answer = (box.type & 0xF) == MB_YESNO ? IDNO : IDOK;
            std::fprintf(stderr, "headless: message box with no answer given, answered %d\n",
                         *answer);
        }
        State().boxes.back().answer = *answer;
        return true;
    }

    bool ShellOpen(const ui::ShellRequest& r) override {
        State().shells.push_back(ShellCall{r.owner, Given(r.has_verb, r.verb),
                                           Given(r.has_file, r.file), Given(r.has_params, r.params),
                                           Given(r.has_dir, r.dir), r.show, r.file_utf8});
        return true;
    }
    bool ShowInFileManager(const ui::ShellRequest& r) override {
        ShellOpen(r);
        State().shells.back().inFolder = true;
        return true;
    }

    void BeginPopupMenu(const ui::PopupMenuRequest& menu) override {
        State().menus.push_back(ShownMenu{menu.owner, menu.texts_cp932, menu.at, 0});
    }
    bool PollPopupMenu(UINT* chosen) override {
        Recorded& s = State();
        *chosen = 0;
        if (!s.choices.empty()) {
            *chosen = s.choices.front();
            s.choices.pop_front();
        } else {
            std::fprintf(stderr, "headless: pop-up menu with no choice given, dismissed\n");
        }
        s.menus.back().chosen = *chosen;
        return true;
    }

    bool PickFolder(HWND, const std::string&, std::string* folder_utf8) override {
        Recorded& s = State();
        if (s.folder_choices.empty()) {
            std::fprintf(stderr, "headless: folder picker with no choice given, cancelled\n");
            return false;
        }
        *folder_utf8 = s.folder_choices.front();
        s.folder_choices.pop_front();
        return !folder_utf8->empty();
    }

    void ClipboardText(const std::string& text_utf8) override { State().clipboard = text_utf8; }

    void Drawn(const DrawCall& call) override { State().draws.push_back(call); }

    void AccessibleEvent(HWND hwnd, DWORD event, LONG idObject, LONG idChild) override {
        State().accessible_events.push_back(AccessibleEventCall{hwnd, event, idObject, idChild});
    }

    void Invalidated(HWND hwnd, const RECT* rect, BOOL erase) override {
        State().invalidations.push_back(
            Invalidation{hwnd, rect ? std::optional<RECT>(*rect) : std::nullopt, erase});
    }
};

// The deepest visible window under a point given in client pixels of
// hwnd, and the point in that window's client pixels.
HWND WindowUnder(HWND hwnd, int* x, int* y) {
    ui::Window* w = ui::FindWindowObject(hwnd);
    if (w == nullptr) return hwnd;
    for (auto it = w->children.rbegin(); it != w->children.rend(); ++it) {
        ui::Window* child = ui::FindWindowObject(*it);
        if (child == nullptr || !child->Visible()) continue;
        RECT r = child->rect;
        if (*x >= r.left && *x < r.right && *y >= r.top && *y < r.bottom) {
            *x -= r.left + child->client.left;
            *y -= r.top + child->client.top;
            return WindowUnder(*it, x, y);
        }
    }
    return hwnd;
}

void Mouse(UINT message, int x, int y) {
    HWND target = WindowUnder(MainWindow(), &x, &y);
    ui::PostMouse(target, message, x, y);
}

// ---- The picture: the backing image with the bars drawn on top ---------------
void Fill(cairo_t* cr, const RECT& r, COLORREF c) {
    cairo_set_source_rgb(cr, GetRValue(c) / 255.0, GetGValue(c) / 255.0, GetBValue(c) / 255.0);
    cairo_rectangle(cr, r.left, r.top, r.right - r.left, r.bottom - r.top);
    cairo_fill(cr);
}

void Frame(cairo_t* cr, const RECT& r, COLORREF c) {
    cairo_set_source_rgb(cr, GetRValue(c) / 255.0, GetGValue(c) / 255.0, GetBValue(c) / 255.0);
    cairo_set_line_width(cr, 1);
    cairo_rectangle(cr, r.left + 0.5, r.top + 0.5, r.right - r.left - 1, r.bottom - r.top - 1);
    cairo_stroke(cr);
}

void DrawControl(cairo_t* cr, const ui::Window& control, POINT origin) {
    RECT r = control.rect;
    ui::OffsetRectBy(r, origin.x, origin.y);
    std::string text = ui::Utf8FromCp932(control.text);
    // The dialog's own font: 9 points at 96 dots per inch.
    constexpr int kDialogPixels = 12;
    const int pixels = control.font != nullptr ? ui::CharacterHeight(control.font) : kDialogPixels;
    ui::TextSize size = ui::DrawText(cr, 0, 0, text, 0, nullptr, pixels, false);
    int middle_y = (r.top + r.bottom - size.height) / 2;
    switch (control.kind) {
        case ui::ChildKind::Edit:
            Fill(cr, r, RGB(255, 255, 255));
            Frame(cr, r, RGB(122, 122, 122));
            ui::DrawText(cr, r.left + 3, middle_y, text, RGB(0, 0, 0), nullptr, pixels, true);
            break;
        case ui::ChildKind::Button:
            Fill(cr, r, RGB(225, 225, 225));
            Frame(cr, r, RGB(173, 173, 173));
            ui::DrawText(cr, (r.left + r.right - size.width) / 2, middle_y, text, RGB(0, 0, 0),
                         nullptr, pixels, true);
            break;
        default:
            ui::DrawText(cr, r.left, r.top, text, RGB(0, 0, 0), nullptr, pixels, true);
            break;
    }
}

cairo_surface_t* Picture() {
    ui::Window* main = ui::FindWindowObject(MainWindow());
    if (main == nullptr || main->image == nullptr) return nullptr;
    int width = cairo_image_surface_get_width(main->image);
    int height = cairo_image_surface_get_height(main->image);
    cairo_surface_t* picture = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    cairo_t* cr = cairo_create(picture);
    cairo_set_source_surface(cr, main->image, 0, 0);
    cairo_paint(cr);
    for (HWND bar_handle : main->children) {
        ui::Window* bar = ui::FindWindowObject(bar_handle);
        if (bar == nullptr || !bar->Visible()) continue;
        RECT r = bar->rect;
        Fill(cr, r, RGB(240, 240, 240));
        POINT origin{r.left + bar->client.left, r.top + bar->client.top};
        for (HWND control_handle : bar->children) {
            ui::Window* control = ui::FindWindowObject(control_handle);
            if (control && control->Visible()) DrawControl(cr, *control, origin);
        }
    }
    cairo_destroy(cr);
    cairo_surface_flush(picture);
    return picture;
}

}  // namespace

void Use() {
    ui::SetDriver(std::make_unique<HeadlessDriver>());
}

void Reset() {
    Use();
    ui::ResetState();
    State() = Recorded{};
}

HWND MainWindow() {
    for (ui::Window* w : ui::AllWindows()) {
        if (w->TopLevel()) return w->handle;
    }
    return nullptr;
}

void MouseMove(int x, int y) {
    Mouse(WM_MOUSEMOVE, x, y);
}
void LeftDown(int x, int y) {
    Mouse(WM_LBUTTONDOWN, x, y);
}
void LeftUp(int x, int y) {
    Mouse(WM_LBUTTONUP, x, y);
}
void RightDown(int x, int y) {
    Mouse(WM_RBUTTONDOWN, x, y);
}
void RightUp(int x, int y) {
    Mouse(WM_RBUTTONUP, x, y);
}

void PressKey(int vk) {
    ui::PostKey(MainWindow(), WM_KEYDOWN, vk);
    ui::PostKey(MainWindow(), WM_KEYUP, vk);
}

void PressEscape() {
    PressKey(VK_ESCAPE);
}

void PressKeyInFocus(int vk, unsigned modifiers) {
    HWND focus = GetFocus();
    if (focus == nullptr) focus = MainWindow();
    ui::PostKey(focus, WM_KEYDOWN, vk, modifiers);
    ui::PostKey(focus, WM_KEYUP, vk, modifiers);
}

void TypeCharInFocus(const std::string& character_cp932) {
    HWND focus = GetFocus();
    if (focus == nullptr) focus = MainWindow();
    ui::PostChar(focus, ui::Utf8FromCp932(character_cp932));
}

void QueueMenuChoice(UINT id) {
    State().choices.push_back(id);
}
const std::vector<ShownMenu>& Menus() {
    return State().menus;
}
std::string ClipboardText() {
    return State().clipboard;
}

void TypeText(HWND edit, const std::string& text_cp932) {
    ui::Window* w = ui::FindWindowObject(edit);
    if (w == nullptr) return;
    w->text = text_cp932;
    PostMessageA(edit, ui::kEditTyped, 0, 0);
}

void PressButton(HWND dialog, int id) {
    if (HWND button = GetDlgItem(dialog, id)) ui::ButtonClicked(button);
}

void QueueFolderChoice(const std::string& folder_utf8) {
    State().folder_choices.push_back(folder_utf8);
}

void DropFiles(const std::vector<std::string>& paths_utf8) {
    ui::FilesDropped(MainWindow(), paths_utf8);
}

void ChooseMenuItem(UINT id) {
    ui::MenuCommand(MainWindow(), id);
}

void OpenMenu(int index) {
    HWND main = MainWindow();
    ui::InitMenuPopup(main, GetSubMenu(GetMenu(main), index), index);
}

void RequestClose() {
    ui::CloseRequested(MainWindow());
}

void QueueAnswer(int answer) {
    State().answers.push_back(answer);
}
void SetAnswerer(std::function<int(const ShownBox&)> answerer) {
    State().answerer = std::move(answerer);
}
const std::vector<ShownBox>& Boxes() {
    return State().boxes;
}

const std::vector<DrawCall>& DrawCalls() {
    return State().draws;
}
const std::vector<Invalidation>& Invalidations() {
    return State().invalidations;
}
const std::vector<ShellCall>& ShellCalls() {
    return State().shells;
}
const std::vector<AccessibleEventCall>& AccessibleEvents() {
    return State().accessible_events;
}

void ClearLogs() {
    State().draws.clear();
    State().invalidations.clear();
    State().shells.clear();
    State().accessible_events.clear();
    State().boxes.clear();
    State().menus.clear();
}

COLORREF Pixel(int x, int y) {
    cairo_surface_t* picture = Picture();
    if (picture == nullptr) return 0xFFFFFFFF;
    COLORREF colour = 0xFFFFFFFF;
    if (x >= 0 && y >= 0 && x < cairo_image_surface_get_width(picture) &&
        y < cairo_image_surface_get_height(picture)) {
        const unsigned char* row =
            cairo_image_surface_get_data(picture) + y * cairo_image_surface_get_stride(picture);
        std::uint32_t value = reinterpret_cast<const std::uint32_t*>(row)[x];
        colour = RGB((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
    }
    cairo_surface_destroy(picture);
    return colour;
}

bool SavePng(const std::string& path) {
    cairo_surface_t* picture = Picture();
    if (picture == nullptr) return false;
    bool ok = cairo_surface_write_to_png(picture, path.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(picture);
    return ok;
}

void SetDisplay(int dpi, const RECT& work_area) {
    State().dpi = dpi;
    State().work_area = work_area;
}

void SetTurnHook(std::function<void(int)> hook) {
    State().turn_hook = std::move(hook);
}

}  // namespace sorahiki::headless
