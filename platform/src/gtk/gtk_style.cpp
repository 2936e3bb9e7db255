#include "platform/src/gtk/gtk_style.h"

#include <gtk/gtk.h>

namespace sorahiki::ui::gtk {
namespace {

// The dialog font is a 9-point Japanese UI font; the installed Japanese
// Gothic faces stand in for it. Padding and minimum sizes are cut so that an
// edit box of 12 dialog units and buttons of 17 keep their template heights.
constexpr const char* kStyle = R"css(
.sorahiki-dialog {
  background-color: #f0f0f0;
}
.sorahiki-dialog entry, .sorahiki-dialog button, .sorahiki-dialog label {
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

}  // namespace

void InstallStyle() {
    GtkCssProvider* provider = gtk_css_provider_new();
    gtk_css_provider_load_from_data(provider, kStyle, -1, nullptr);
    gtk_style_context_add_provider_for_screen(gdk_screen_get_default(),
                                              GTK_STYLE_PROVIDER(provider),
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    g_object_unref(provider);
}

}  // namespace sorahiki::ui::gtk
