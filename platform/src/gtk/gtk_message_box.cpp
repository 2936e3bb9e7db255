#include "platform/src/gtk/gtk_message_box.h"

#include "platform/src/gtk/gtk_text.h"

namespace sorahiki::ui::gtk {
namespace {

// A caption may end in a line feed, which a title bar cannot show.
std::string TitleOf(std::string caption) {
    while (!caption.empty() && (caption.back() == '\n' || caption.back() == '\r')) {
        caption.pop_back();
    }
    return caption;
}

bool IsYesNo(UINT type) {
    return (type & 0xF) == MB_YESNO;
}

}  // namespace

MessageBoxes::~MessageBoxes() {
    for (Box& box : m_boxes) {
        if (box.dialog) gtk_widget_destroy(box.dialog);
    }
}

void MessageBoxes::Open(const MessageBoxRequest& request, GtkWindow* owner) {
    GtkWidget* dialog = gtk_message_dialog_new(owner, GTK_DIALOG_MODAL, GTK_MESSAGE_OTHER,
                                               GTK_BUTTONS_NONE, "%s", request.text_utf8.c_str());
    gtk_window_set_title(GTK_WINDOW(dialog), TitleOf(request.caption_utf8).c_str());
    gtk_window_set_resizable(GTK_WINDOW(dialog), FALSE);
    if (IsYesNo(request.type)) {
        gtk_dialog_add_buttons(GTK_DIALOG(dialog), Utf8(u8"はい(_Y)"), IDYES, Utf8(u8"いいえ(_N)"),
                               IDNO, nullptr);
        gtk_dialog_set_default_response(GTK_DIALOG(dialog), IDYES);
    } else {
        gtk_dialog_add_button(GTK_DIALOG(dialog), "OK", IDOK);
        gtk_dialog_set_default_response(GTK_DIALOG(dialog), IDOK);
    }
    g_signal_connect(dialog, "response", G_CALLBACK(OnResponse), this);
    g_signal_connect(dialog, "delete-event", G_CALLBACK(OnDelete), nullptr);
    m_boxes.push_back(Box{dialog, owner, 0});
    gtk_widget_show_all(dialog);
    gtk_window_present(GTK_WINDOW(dialog));
}

bool MessageBoxes::Poll(int* answer) {
    if (m_boxes.empty() || m_boxes.back().dialog) return false;
    *answer = m_boxes.back().answer;
    m_boxes.pop_back();
    return true;
}

// Closing a box (its close button or Escape) counts as its OK; a Yes/No box
// has no way out but its two buttons, so it stays.
gboolean MessageBoxes::OnDelete(GtkWidget* dialog, GdkEvent*, gpointer) {
    if (gtk_dialog_get_widget_for_response(GTK_DIALOG(dialog), IDOK)) {
        gtk_dialog_response(GTK_DIALOG(dialog), IDOK);
    }
    return TRUE;
}

bool MessageBoxes::Blocks(GtkWindow* window) const {
    for (const Box& box : m_boxes) {
        if (box.dialog && box.owner == window) return true;
    }
    return false;
}

void MessageBoxes::OnResponse(GtkDialog* dialog, gint response, gpointer self) {
    auto* boxes = static_cast<MessageBoxes*>(self);
    for (Box& box : boxes->m_boxes) {
        if (box.dialog != GTK_WIDGET(dialog)) continue;
        if (response < 0) return;  // only the buttons answer
        box.answer = response;
        box.dialog = nullptr;
        gtk_widget_destroy(GTK_WIDGET(dialog));
        return;
    }
}

}  // namespace sorahiki::ui::gtk
