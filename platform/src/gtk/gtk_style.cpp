#include "platform/src/gtk/gtk_style.h"

#include <gtk/gtk.h>

#include <string>

namespace sorahiki::ui::gtk {
namespace {

// The dialog font is a 9-point Japanese UI font; the installed Japanese
// Gothic faces stand in for it. The controls inherit it, so that a size set
// on one reaches the label inside a button too. Padding and minimum sizes are
// cut so that an edit box of 12 dialog units and buttons of 17 keep their
// template heights.
constexpr const char* kStyle = R"css(
.sorahiki-dialog {
  background-color: #f0f0f0;
  font-family: "IPAPGothic", "IPAGothic", "Noto Sans CJK JP", sans-serif;
  font-size: 9pt;
}
.sorahiki-dialog entry {
  min-height: 0;
  padding: 0 3px;
  border-radius: 0;
}
.sorahiki-dialog button {
  min-height: 0;
  min-width: 0;
  padding: 0 2px;
}
)css";

constexpr const char* kTextSizeKey = "sorahiki-text-size";

}  // namespace

void InstallStyle() {
    GtkCssProvider* provider = gtk_css_provider_new();
    gtk_css_provider_load_from_data(provider, kStyle, -1, nullptr);
    gtk_style_context_add_provider_for_screen(gdk_screen_get_default(),
                                              GTK_STYLE_PROVIDER(provider),
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    g_object_unref(provider);
}

// A style of the control's own, kept with it and loaded again at each change.
void SetTextPixels(GtkWidget* control, int pixels) {
    auto* own = static_cast<GtkCssProvider*>(g_object_get_data(G_OBJECT(control), kTextSizeKey));
    if (own == nullptr) {
        own = gtk_css_provider_new();
        gtk_style_context_add_provider(gtk_widget_get_style_context(control),
                                       GTK_STYLE_PROVIDER(own),
                                       GTK_STYLE_PROVIDER_PRIORITY_APPLICATION + 1);
        g_object_set_data_full(G_OBJECT(control), kTextSizeKey, own, g_object_unref);
    }
    const std::string css = "* { font-size: " + std::to_string(pixels) + "px; }";
    gtk_css_provider_load_from_data(own, css.c_str(), -1, nullptr);
}

}  // namespace sorahiki::ui::gtk
