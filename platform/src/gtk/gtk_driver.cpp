// The GTK 3 driver: each top-level window of the layer is a GtkWindow that is
// not resizable, with a menu bar built from its menu and under it a drawing
// area of exactly the client size showing the window's backing image. Child
// dialogs float over the drawing area as grey boxes holding their controls at
// their pixel rectangles. Input on these widgets becomes the WM_ messages
// that the same input causes on Windows. The scale is GTK's: its integer
// factor (GDK_SCALE) multiplies the display's pixels under every layer pixel,
// and its text resolution (Xft.dpi, GDK_DPI_SCALE, the desktop's text
// scaling) is the dots per inch at which the program lays itself out.
#include <gtk/gtk.h>
#include <oleacc.h>

#include <cmath>
#include <memory>
#include <unordered_map>

#include "platform/src/gtk/gtk_accessible.h"
#include "platform/src/gtk/gtk_folder.h"
#include "platform/src/gtk/gtk_menu.h"
#include "platform/src/gtk/gtk_message_box.h"
#include "platform/src/gtk/gtk_popup.h"
#include "platform/src/gtk/gtk_shell.h"
#include "platform/src/gtk/gtk_style.h"
#include "platform/src/gtk/gtk_text.h"
#include "platform/src/ui/driver.h"

namespace sorahiki::ui {
namespace gtk {
namespace {

// What the driver shows for one window handle.
struct Shown {
    HWND hwnd = nullptr;
    HWND parent = nullptr;  // null for a top-level window
    ChildKind kind = ChildKind::Other;
    GtkWidget* widget = nullptr;   // the GtkWindow, the dialog's box or the control
    GtkWidget* fixed = nullptr;    // where a dialog's controls go
    GtkWidget* area = nullptr;     // a top-level window's client area
    GtkWidget* overlay = nullptr;  // where a top-level window's dialogs go
    RECT rect{};                   // a child's rectangle in its parent's client pixels
    bool visible = false;
};

RECT RectOf(const GdkRectangle& r) {
    return RECT{r.x, r.y, r.x + r.width, r.y + r.height};
}

bool Contains(const RECT& r, int x, int y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

class GtkDriver final : public Driver {
  public:
    GtkDriver() { s_driver = this; }
    ~GtkDriver() override {
        m_boxes.reset();
        m_popup.reset();
        if (m_lastInput) gdk_event_free(m_lastInput);
        for (auto& [hwnd, shown] : m_shown) {
            if (shown->parent || !shown->widget) continue;
            g_object_remove_weak_pointer(G_OBJECT(shown->widget),
                                         reinterpret_cast<gpointer*>(&shown->widget));
            gtk_widget_destroy(shown->widget);
        }
        s_driver = nullptr;
    }

    bool Init() override {
        if (!gtk_init_check(nullptr, nullptr)) return false;
        InstallStyle();
        m_boxes = std::make_unique<MessageBoxes>();
        m_popup = std::make_unique<PopupMenu>();
        return true;
    }

    int TextDpi() override {
        const double resolution = gdk_screen_get_resolution(gdk_screen_get_default());
        return resolution > 0 ? static_cast<int>(std::lround(resolution)) : USER_DEFAULT_SCREEN_DPI;
    }

    int MonitorNearest(const RECT& window) override {
        GdkDisplay* display = gdk_display_get_default();
        if (!display) return 0;
        GdkMonitor* nearest = gdk_display_get_monitor_at_point(
            display, (window.left + window.right) / 2, (window.top + window.bottom) / 2);
        for (int i = 0; i < gdk_display_get_n_monitors(display); ++i) {
            if (gdk_display_get_monitor(display, i) == nearest) return i;
        }
        return 0;
    }

    // In GTK's pixels, which are the layer's.
    bool MonitorAreas(int index, RECT* whole, RECT* work) override {
        GdkDisplay* display = gdk_display_get_default();
        GdkMonitor* monitor = display ? gdk_display_get_monitor(display, index) : nullptr;
        if (!monitor) return false;
        GdkRectangle geometry, workarea;
        gdk_monitor_get_geometry(monitor, &geometry);
        gdk_monitor_get_workarea(monitor, &workarea);
        *whole = RectOf(geometry);
        *work = RectOf(workarea);
        return true;
    }

    int DeviceScale() override {
        GdkDisplay* display = gdk_display_get_default();
        GdkMonitor* monitor = display ? gdk_display_get_primary_monitor(display) : nullptr;
        if (!monitor && display) monitor = gdk_display_get_monitor(display, 0);
        return monitor ? std::max(gdk_monitor_get_scale_factor(monitor), 1) : 1;
    }

    void TopLevelCreated(HWND hwnd, const std::string& title_utf8, HMENU menu, const RECT& window,
                         const RECT& client) override {
        auto shown = std::make_unique<Shown>();
        shown->hwnd = hwnd;
        shown->widget = gtk_window_new(GTK_WINDOW_TOPLEVEL);
        gtk_window_set_title(GTK_WINDOW(shown->widget), title_utf8.c_str());
        gtk_window_set_resizable(GTK_WINDOW(shown->widget), FALSE);
        gtk_window_move(GTK_WINDOW(shown->widget), window.left, window.top);
        g_signal_connect(shown->widget, "delete-event", G_CALLBACK(OnDelete), hwnd);
        TakeDroppedFiles(shown->widget, hwnd, Accepts);

        GtkWidget* column = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
        gtk_container_add(GTK_CONTAINER(shown->widget), column);
        if (menu)
            gtk_box_pack_start(GTK_BOX(column), MakeMenuBar(hwnd, menu, Accepts), FALSE, FALSE, 0);

        shown->overlay = gtk_overlay_new();
        shown->area = MakeClientArea(hwnd);
        gtk_container_add(GTK_CONTAINER(shown->overlay), shown->area);
        gtk_box_pack_start(GTK_BOX(column), shown->overlay, FALSE, FALSE, 0);
        gtk_widget_show_all(column);
        SizeClientArea(*shown, client);
        Remember(std::move(shown));
    }

    // The image of the icon that the loader picks; the window manager scales it.
    void TopLevelIcon(HWND hwnd, const std::vector<std::uint8_t>& ico_file) override {
        Shown* shown = Find(hwnd);
        if (!shown || shown->parent) return;
        GdkPixbufLoader* loader = gdk_pixbuf_loader_new_with_type("ico", nullptr);
        if (!loader) return;
        if (gdk_pixbuf_loader_write(loader, ico_file.data(), ico_file.size(), nullptr) &&
            gdk_pixbuf_loader_close(loader, nullptr)) {
            if (GdkPixbuf* icon = gdk_pixbuf_loader_get_pixbuf(loader)) {
                gtk_window_set_icon(GTK_WINDOW(shown->widget), icon);
            }
        } else {
            gdk_pixbuf_loader_close(loader, nullptr);
        }
        g_object_unref(loader);
    }

    void TopLevelMoved(HWND hwnd, const RECT& window, const RECT& client) override {
        Shown* shown = Find(hwnd);
        if (!shown || shown->parent) return;
        gtk_window_move(GTK_WINDOW(shown->widget), window.left, window.top);
        SizeClientArea(*shown, client);
    }

    void TopLevelShown(HWND hwnd, bool visible, int show_cmd) override {
        Shown* shown = Find(hwnd);
        if (!shown || shown->parent) return;
        shown->visible = visible;
        if (!visible) {
            gtk_widget_hide(shown->widget);
            return;
        }
        gtk_widget_show(shown->widget);
        ApplyPointer(*shown);
        if (show_cmd == SW_SHOWMINIMIZED || show_cmd == SW_MINIMIZE ||
            show_cmd == SW_SHOWMINNOACTIVE) {
            gtk_window_iconify(GTK_WINDOW(shown->widget));
        } else {
            gtk_window_present(GTK_WINDOW(shown->widget));
        }
    }

    void ImageChanged(HWND hwnd, const RECT& area) override {
        Shown* shown = Find(hwnd);
        if (!shown || !shown->area) return;
        gtk_widget_queue_draw_area(shown->area, area.left, area.top, area.right - area.left,
                                   area.bottom - area.top);
    }

    void ChildCreated(HWND hwnd, HWND parent, ChildKind kind, const RECT& rect,
                      const std::string& text_utf8, bool visible) override {
        Shown* holder = Find(parent);
        if (!holder) return;
        auto shown = std::make_unique<Shown>();
        shown->hwnd = hwnd;
        shown->parent = parent;
        shown->kind = kind;
        shown->rect = rect;
        shown->visible = visible;
        shown->widget = MakeControl(*shown, text_utf8);
        if (holder->fixed) {
            gtk_fixed_put(GTK_FIXED(holder->fixed), shown->widget, rect.left, rect.top);
        } else if (holder->overlay) {
            gtk_widget_set_halign(shown->widget, GTK_ALIGN_START);
            gtk_widget_set_valign(shown->widget, GTK_ALIGN_START);
            gtk_overlay_add_overlay(GTK_OVERLAY(holder->overlay), shown->widget);
        } else {
            gtk_widget_destroy(shown->widget);
            return;
        }
        Place(*shown);
        gtk_widget_set_visible(shown->widget, visible);
        NameAfterLabel(*shown, text_utf8);
        Remember(std::move(shown));
    }

    void ChildMoved(HWND hwnd, const RECT& rect) override {
        Shown* shown = Find(hwnd);
        if (!shown || !shown->parent) return;
        shown->rect = rect;
        Place(*shown);
    }

    void ChildShown(HWND hwnd, bool visible) override {
        Shown* shown = Find(hwnd);
        if (!shown || !shown->parent) return;
        shown->visible = visible;
        gtk_widget_set_visible(shown->widget, visible);
        if (visible && shown->kind == ChildKind::Dialog) FocusFirstEdit(*shown);
    }

    void ChildTextChanged(HWND hwnd, const std::string& text_utf8) override {
        Shown* shown = Find(hwnd);
        if (!shown) return;
        if (!shown->parent) {
            gtk_window_set_title(GTK_WINDOW(shown->widget), text_utf8.c_str());
        } else if (shown->kind == ChildKind::Edit) {
            // The program's own change is not the user's typing.
            g_signal_handlers_block_by_func(shown->widget, reinterpret_cast<gpointer>(OnEdited),
                                            hwnd);
            gtk_entry_set_text(GTK_ENTRY(shown->widget), text_utf8.c_str());
            g_signal_handlers_unblock_by_func(shown->widget, reinterpret_cast<gpointer>(OnEdited),
                                              hwnd);
        } else if (shown->kind == ChildKind::Button) {
            gtk_button_set_label(GTK_BUTTON(shown->widget), GtkMnemonic(text_utf8).c_str());
        } else if (shown->kind == ChildKind::Static) {
            gtk_label_set_text_with_mnemonic(GTK_LABEL(shown->widget),
                                             GtkMnemonic(text_utf8).c_str());
        }
    }

    void ChildFontChanged(HWND hwnd, int pixels) override {
        Shown* shown = Find(hwnd);
        if (shown && shown->parent && shown->widget && pixels > 0) {
            SetTextPixels(shown->widget, pixels);
        }
    }

    void WindowDestroyed(HWND hwnd) override {
        auto it = m_shown.find(hwnd);
        if (it == m_shown.end()) return;
        // Destroying a container destroys its children as well; the layer
        // still reports each of them, and they are forgotten then.
        Shown& shown = *it->second;
        if (shown.widget) {
            g_object_remove_weak_pointer(G_OBJECT(shown.widget),
                                         reinterpret_cast<gpointer*>(&shown.widget));
            gtk_widget_destroy(shown.widget);
        }
        m_shown.erase(it);
    }

    void PumpEvents() override {
        // Bounded, so that a source that is always ready cannot hold the
        // program's loop.
        for (int i = 0; i < 200 && g_main_context_pending(nullptr); ++i) {
            g_main_context_iteration(nullptr, FALSE);
        }
    }

    void BeginMessageBox(const MessageBoxRequest& box) override {
        Shown* owner = TopLevelOf(box.owner);
        m_boxes->Open(box, owner ? GTK_WINDOW(owner->widget) : nullptr);
    }

    bool PollMessageBox(int* answer) override { return m_boxes->Poll(answer); }

    bool ShellOpen(const ShellRequest& request) override { return OpenWithDesktop(request); }
    bool ShowInFileManager(const ShellRequest& request) override {
        return gtk::ShowInFileManager(request);
    }

    void BeginPopupMenu(const PopupMenuRequest& menu) override {
        Shown* top = Find(menu.toplevel);
        m_popup->Open(menu, top ? top->area : nullptr, m_lastInput);
    }
    bool PollPopupMenu(UINT* chosen) override { return m_popup->Poll(chosen); }

    // The clipboard of the display, which keeps the text while the program runs.
    bool PickFolder(HWND owner, const std::string& title_utf8, std::string* folder_utf8) override {
        Shown* top = TopLevelOf(owner);
        return ChooseFolder(top ? GTK_WINDOW(top->widget) : nullptr, title_utf8, folder_utf8);
    }

    void MenuItemChecked(HMENU menu, UINT id, bool checked) override {
        SetMenuItemChecked(menu, id, checked);
    }

    void ClipboardText(const std::string& text_utf8) override {
        gtk_clipboard_set_text(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD), text_utf8.c_str(),
                               static_cast<gint>(text_utf8.size()));
    }

    void EditSelected(HWND hwnd, int first, int last) override {
        Shown* shown = Find(hwnd);
        if (!shown || shown->kind != ChildKind::Edit) return;
        gtk_editable_select_region(GTK_EDITABLE(shown->widget), first, last);
    }

    // The program moves the focus as the keyboard does, so it is shown as
    // after a key: the focused button's ring, the entry's caret.
    void FocusMoved(HWND hwnd) override {
        Shown* shown = Find(hwnd);
        if (!shown) return;
        GtkWidget* target = shown->parent ? shown->widget : shown->area;
        if (!target) return;
        // A widget that has the focus already (GTK moved it, and the layer
        // was told) keeps it: taken again, a reader would hear it twice.
        if (!gtk_widget_has_focus(target)) gtk_widget_grab_focus(target);
        if (Shown* top = TopLevelOf(hwnd); top && top->widget) {
            GtkWindow* window = GTK_WINDOW(top->widget);
            if (!gtk_window_get_focus_visible(window)) gtk_window_set_focus_visible(window, TRUE);
        }
    }

    void AccessibleEvent(HWND hwnd, DWORD event, LONG idObject, LONG idChild) override {
        Shown* shown = Find(hwnd);
        if (!shown || idObject != OBJID_CLIENT) return;
        if (shown->area) ClientAreaEvent(shown->area, event, idChild);
        if (shown->parent && event == EVENT_OBJECT_NAMECHANGE && idChild == CHILDID_SELF) {
            NameAsItsObject(shown->widget, hwnd);
        }
    }

    // The shape shows over each whole top-level window; a control with a
    // pointer of its own (the edit box's text beam) keeps it.
    void PointerChanged(PointerShape shape) override {
        m_pointer = shape;
        for (auto& [hwnd, shown] : m_shown) {
            if (!shown->parent) ApplyPointer(*shown);
        }
    }

  private:
    // The widget pointer goes null when GTK destroys the widget along with
    // its container, so a child reported gone after its parent is not
    // destroyed twice.
    void Remember(std::unique_ptr<Shown> shown) {
        g_object_add_weak_pointer(G_OBJECT(shown->widget),
                                  reinterpret_cast<gpointer*>(&shown->widget));
        const HWND hwnd = shown->hwnd;
        m_shown[hwnd] = std::move(shown);
    }

    Shown* Find(HWND hwnd) {
        auto it = m_shown.find(hwnd);
        return it == m_shown.end() ? nullptr : it->second.get();
    }

    Shown* TopLevelOf(HWND hwnd) {
        Shown* shown = Find(hwnd);
        while (shown && shown->parent) shown = Find(shown->parent);
        return shown;
    }

    void ApplyPointer(const Shown& top) const {
        GdkWindow* window = top.widget ? gtk_widget_get_window(top.widget) : nullptr;
        if (!window) return;
        const char* name = nullptr;  // the parent's pointer: the default arrow
        if (m_pointer == PointerShape::Working) name = "progress";
        if (m_pointer == PointerShape::Wait) name = "wait";
        if (m_pointer == PointerShape::Text) name = "text";
        GdkCursor* cursor =
            name ? gdk_cursor_new_from_name(gdk_window_get_display(window), name) : nullptr;
        gdk_window_set_cursor(window, cursor);
        // The client area and the bars have windows of their own.
        GList* children = gdk_window_get_children(window);
        for (GList* child = children; child; child = child->next) {
            gdk_window_set_cursor(GDK_WINDOW(child->data), nullptr);
        }
        g_list_free(children);
        if (cursor) g_object_unref(cursor);
    }

    // ---- Building widgets ----------------------------------------------

    static GtkWidget* MakeClientArea(HWND hwnd) {
        GtkWidget* area = NewClientArea(hwnd);
        gtk_widget_set_can_focus(area, TRUE);
        gtk_widget_add_events(area, GDK_POINTER_MOTION_MASK | GDK_ENTER_NOTIFY_MASK |
                                        GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK |
                                        GDK_KEY_PRESS_MASK | GDK_KEY_RELEASE_MASK);
        g_signal_connect(area, "draw", G_CALLBACK(OnDraw), hwnd);
        g_signal_connect(area, "motion-notify-event", G_CALLBACK(OnMotion), hwnd);
        g_signal_connect(area, "enter-notify-event", G_CALLBACK(OnEnter), hwnd);
        g_signal_connect(area, "button-press-event", G_CALLBACK(OnButton), hwnd);
        g_signal_connect(area, "button-release-event", G_CALLBACK(OnButton), hwnd);
        g_signal_connect(area, "key-press-event", G_CALLBACK(OnKey), hwnd);
        g_signal_connect(area, "key-release-event", G_CALLBACK(OnKey), hwnd);
        g_signal_connect(area, "focus-in-event", G_CALLBACK(OnFocusIn), hwnd);
        return area;
    }

    static void SizeClientArea(Shown& shown, const RECT& client) {
        gtk_widget_set_size_request(shown.area, client.right - client.left,
                                    client.bottom - client.top);
    }

    static GtkWidget* MakeControl(Shown& shown, const std::string& text_utf8) {
        switch (shown.kind) {
            case ChildKind::Dialog: {
                // An event box has its own window: input over a dialog stays
                // with the dialog, as on Windows.
                GtkWidget* box = gtk_event_box_new();
                gtk_style_context_add_class(gtk_widget_get_style_context(box), kDialogClass);
                shown.fixed = gtk_fixed_new();
                gtk_container_add(GTK_CONTAINER(box), shown.fixed);
                gtk_widget_show(shown.fixed);
                return box;
            }
            case ChildKind::Edit: {
                GtkWidget* entry = gtk_entry_new();
                gtk_entry_set_width_chars(GTK_ENTRY(entry), 1);
                gtk_entry_set_text(GTK_ENTRY(entry), text_utf8.c_str());
                g_signal_connect(entry, "changed", G_CALLBACK(OnEdited), shown.hwnd);
                g_signal_connect(entry, "activate", G_CALLBACK(OnActivated), shown.hwnd);
                g_signal_connect(entry, "key-press-event", G_CALLBACK(OnControlKey), shown.hwnd);
                g_signal_connect(entry, "preedit-changed", G_CALLBACK(OnPreedit), nullptr);
                g_signal_connect(entry, "focus-in-event", G_CALLBACK(OnFocusIn), shown.hwnd);
                return entry;
            }
            case ChildKind::Button: {
                GtkWidget* button = gtk_button_new_with_mnemonic(GtkMnemonic(text_utf8).c_str());
                g_signal_connect(button, "clicked", G_CALLBACK(OnClicked), shown.hwnd);
                g_signal_connect(button, "key-press-event", G_CALLBACK(OnControlKey), shown.hwnd);
                g_signal_connect(button, "focus-in-event", G_CALLBACK(OnFocusIn), shown.hwnd);
                return button;
            }
            case ChildKind::Static:
            case ChildKind::Other:
            default: {
                GtkWidget* label = gtk_label_new_with_mnemonic(GtkMnemonic(text_utf8).c_str());
                gtk_label_set_xalign(GTK_LABEL(label), 0.0f);
                gtk_label_set_yalign(GTK_LABEL(label), 0.0f);
                return label;
            }
        }
    }

    // The keyboard starts in the first edit box shown, as a dialog puts the
    // focus in its first control, so that a person can type at once. A click
    // on the client area takes it there (and Escape then reaches the window).
    void FocusFirstEdit(const Shown& dialog) {
        Shown* top = TopLevelOf(dialog.hwnd);
        if (!top) return;
        GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(top->widget));
        if (focus && focus != top->area) return;
        for (const auto& [hwnd, shown] : m_shown) {
            if (shown->parent == dialog.hwnd && shown->kind == ChildKind::Edit && shown->widget) {
                gtk_widget_grab_focus(shown->widget);
                return;
            }
        }
    }

    // A reader names an edit box after the label just before it in its
    // dialog, shown or not, as on Windows; a hidden label names without
    // being seen.
    void NameAfterLabel(const Shown& shown, const std::string& text_utf8) {
        std::string& label = m_lastLabel[shown.parent];
        if (shown.kind == ChildKind::Edit && !label.empty()) NameForReader(shown.widget, label);
        label = shown.kind == ChildKind::Static ? text_utf8 : std::string();
    }

    // Puts a child at its rectangle: controls in their dialog's fixed
    // container, dialogs over the client area.
    void Place(Shown& shown) {
        const RECT& r = shown.rect;
        gtk_widget_set_size_request(shown.widget, r.right - r.left, r.bottom - r.top);
        Shown* holder = Find(shown.parent);
        if (holder && holder->fixed) {
            gtk_fixed_move(GTK_FIXED(holder->fixed), shown.widget, r.left, r.top);
        } else {
            gtk_widget_set_margin_start(shown.widget, r.left);
            gtk_widget_set_margin_top(shown.widget, r.top);
        }
    }

    // Windows sends mouse messages to the window under the pointer: none to
    // the main window while the pointer is over a bar or outside the client
    // area (a held button does not capture).
    bool ReachesClientArea(const Shown& top, int x, int y) const {
        const int width = gtk_widget_get_allocated_width(top.area);
        const int height = gtk_widget_get_allocated_height(top.area);
        if (x < 0 || y < 0 || x >= width || y >= height) return false;
        for (const auto& [hwnd, shown] : m_shown) {
            if (shown->parent == top.hwnd && shown->visible && Contains(shown->rect, x, y)) {
                return false;
            }
        }
        return true;
    }

    // ---- Signal handlers --------------------------------------------------

    static gboolean OnDraw(GtkWidget*, cairo_t* cr, gpointer hwnd) {
        cairo_surface_t* image = BackingImage(static_cast<HWND>(hwnd));
        if (image) {
            cairo_surface_flush(image);
            cairo_set_source_surface(cr, image, 0, 0);
        } else {
            cairo_set_source_rgb(cr, 1, 1, 1);
        }
        cairo_paint(cr);
        return TRUE;
    }

    static void PointerMoved(HWND hwnd, double event_x, double event_y) {
        const int x = static_cast<int>(event_x);
        const int y = static_cast<int>(event_y);
        if (Accepts(hwnd) && s_driver->PointerReaches(hwnd, x, y)) {
            PostMouse(hwnd, WM_MOUSEMOVE, x, y);
        }
    }

    static gboolean OnMotion(GtkWidget*, GdkEventMotion* event, gpointer hwnd) {
        PointerMoved(static_cast<HWND>(hwnd), event->x, event->y);
        return TRUE;
    }

    // A pointer that jumps in from outside brings no motion event of its
    // own; Windows still reports the move.
    static gboolean OnEnter(GtkWidget*, GdkEventCrossing* event, gpointer hwnd) {
        PointerMoved(static_cast<HWND>(hwnd), event->x, event->y);
        return FALSE;
    }

    static gboolean OnButton(GtkWidget* area, GdkEventButton* event, gpointer hwnd) {
        // A double click arrives as its two presses; the extra event GTK adds
        // for it is dropped.
        if (event->type != GDK_BUTTON_PRESS && event->type != GDK_BUTTON_RELEASE) return TRUE;
        if (!Accepts(static_cast<HWND>(hwnd))) return TRUE;
        s_driver->KeepInput(reinterpret_cast<GdkEvent*>(event));
        const bool down = event->type == GDK_BUTTON_PRESS;
        if (down) gtk_widget_grab_focus(area);
        UINT message = 0;
        if (event->button == 1) message = down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
        if (event->button == 3) message = down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
        const int x = static_cast<int>(event->x);
        const int y = static_cast<int>(event->y);
        if (message && s_driver->PointerReaches(static_cast<HWND>(hwnd), x, y)) {
            PostMouse(static_cast<HWND>(hwnd), message, x, y);
        }
        return TRUE;
    }

    static unsigned ModifiersOf(const GdkEventKey* event) {
        unsigned modifiers = 0;
        if (event->state & GDK_SHIFT_MASK) modifiers |= kShiftKey;
        if (event->state & GDK_CONTROL_MASK) modifiers |= kControlKey;
        if (event->state & GDK_MOD1_MASK) modifiers |= kAltKey;
        return modifiers;
    }

    // The character a key types, where it types one (no Ctrl or Alt held).
    static std::string TypedCharacter(const GdkEventKey* event) {
        if (event->state & (GDK_CONTROL_MASK | GDK_MOD1_MASK)) return {};
        const gunichar c = gdk_keyval_to_unicode(event->keyval);
        if (c < 0x20 || c == 0x7F) return {};
        char utf8[8] = {};
        g_unichar_to_utf8(c, utf8);
        return utf8;
    }

    // The client area has no edit of its own: every key is the program's,
    // and a character key also brings its character, as TranslateMessage
    // makes it on Windows.
    static gboolean OnKey(GtkWidget*, GdkEventKey* event, gpointer hwnd) {
        const int vk = VirtualKeyOf(event->keyval);
        const std::string character =
            event->type == GDK_KEY_PRESS ? TypedCharacter(event) : std::string();
        if (vk == 0 && character.empty()) return FALSE;
        if (!Accepts(static_cast<HWND>(hwnd))) return TRUE;
        s_driver->KeepInput(reinterpret_cast<GdkEvent*>(event));
        if (vk != 0) {
            PostKey(static_cast<HWND>(hwnd), event->type == GDK_KEY_PRESS ? WM_KEYDOWN : WM_KEYUP,
                    vk, ModifiersOf(event));
        }
        if (!character.empty() && vk != VK_RETURN && vk != VK_TAB) {
            PostChar(static_cast<HWND>(hwnd), character);
        }
        return TRUE;
    }

    // In an entry GTK edits and moves the caret, and on a button it clicks
    // on Enter and Space, by itself; the keys that move between the
    // program's places and its own shortcuts are the program's instead, as
    // the keys a Windows edit or button leaves alone (GTK would move its own
    // focus on Tab and the arrows).
    static bool ProgramsKey(HWND hwnd, int vk, unsigned modifiers) {
        if (KindOf(hwnd) == ChildKind::Button) return vk != VK_RETURN && vk != VK_SPACE;
        if (vk == VK_TAB || vk == VK_UP || vk == VK_DOWN || vk == VK_PRIOR || vk == VK_NEXT) {
            return true;
        }
        if (modifiers & kAltKey) return true;
        return modifiers == kControlKey && (vk == 'A' || vk == 'F' || vk == 'L');
    }

    // While an input method composes in an entry, every key is its own (↓
    // picks a candidate there), as Windows gives them to the input method.
    static constexpr const char* kComposing = "sorahiki-composing";
    static void OnPreedit(GtkEntry* entry, gchar* preedit, gpointer) {
        g_object_set_data(G_OBJECT(entry), kComposing,
                          GINT_TO_POINTER(preedit != nullptr && preedit[0] != '\0'));
    }

    static gboolean OnControlKey(GtkWidget* widget, GdkEventKey* event, gpointer hwnd) {
        if (g_object_get_data(G_OBJECT(widget), kComposing)) return FALSE;
        const int vk = VirtualKeyOf(event->keyval);
        const unsigned modifiers = ModifiersOf(event);
        if (vk == 0 || !ProgramsKey(static_cast<HWND>(hwnd), vk, modifiers)) return FALSE;
        if (!Accepts(static_cast<HWND>(hwnd))) return TRUE;
        PostKey(static_cast<HWND>(hwnd), WM_KEYDOWN, vk, modifiers);
        PostKey(static_cast<HWND>(hwnd), WM_KEYUP, vk, modifiers);
        return TRUE;
    }

    static gboolean OnFocusIn(GtkWidget*, GdkEventFocus*, gpointer hwnd) {
        FocusTaken(static_cast<HWND>(hwnd));
        return FALSE;
    }

    static gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer hwnd) {
        if (Accepts(static_cast<HWND>(hwnd))) CloseRequested(static_cast<HWND>(hwnd));
        return TRUE;  // the program decides whether the window goes
    }

    static void OnClicked(GtkButton*, gpointer hwnd) {
        if (Accepts(static_cast<HWND>(hwnd))) ButtonClicked(static_cast<HWND>(hwnd));
    }

    static void OnEdited(GtkEditable* entry, gpointer hwnd) {
        EditTyped(static_cast<HWND>(hwnd), gtk_entry_get_text(GTK_ENTRY(entry)));
    }

    // Enter in the entry, which an input method's commit does not give: the
    // edit box gets the key as on Windows.
    static void OnActivated(GtkEntry*, gpointer hwnd) {
        if (!Accepts(static_cast<HWND>(hwnd))) return;
        PostKey(static_cast<HWND>(hwnd), WM_KEYDOWN, VK_RETURN);
        PostKey(static_cast<HWND>(hwnd), WM_KEYUP, VK_RETURN);
    }

    bool PointerReaches(HWND hwnd, int x, int y) const {
        auto it = m_shown.find(hwnd);
        return it != m_shown.end() && ReachesClientArea(*it->second, x, y);
    }

    // A window that owns an open message box takes no input.
    static bool Accepts(HWND hwnd) {
        Shown* top = s_driver->TopLevelOf(hwnd);
        return top && top->widget && !s_driver->m_boxes->Blocks(GTK_WINDOW(top->widget));
    }

    // The last key or button event on a client area: a pop-up menu that the
    // program opens in answer to it grabs that event's device.
    void KeepInput(GdkEvent* event) {
        if (m_lastInput) gdk_event_free(m_lastInput);
        m_lastInput = gdk_event_copy(event);
    }

    static GtkDriver* s_driver;  // the signal handlers' way back to the driver
    GdkEvent* m_lastInput = nullptr;
    std::unordered_map<HWND, std::unique_ptr<Shown>> m_shown;
    std::unordered_map<HWND, std::string> m_lastLabel;  // per dialog: a label just created
    std::unique_ptr<MessageBoxes> m_boxes;
    std::unique_ptr<PopupMenu> m_popup;
    PointerShape m_pointer = PointerShape::Arrow;
};

GtkDriver* GtkDriver::s_driver = nullptr;

}  // namespace
}  // namespace gtk

std::unique_ptr<Driver> MakeGtkDriver() {
    return std::make_unique<gtk::GtkDriver>();
}

}  // namespace sorahiki::ui
