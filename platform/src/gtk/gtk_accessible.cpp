#include "platform/src/gtk/gtk_accessible.h"

#include <gtk/gtk-a11y.h>
#include <oleacc.h>

#include <vector>

namespace sorahiki::ui::gtk {
namespace {

constexpr char kWindowKey[] = "sorahiki-hwnd";
constexpr char kAccessibleKey[] = "sorahiki-accessible";

// ---- Text and values of the program's object ------------------------------

VARIANT ChildVariant(LONG id) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}

// One of the object's texts (get_accName, get_accDescription) of a child
// as UTF-8; empty for none.
using TextCall = HRESULT (STDMETHODCALLTYPE IAccessible::*)(VARIANT, BSTR*);
std::string TextOf(IAccessible* object, TextCall call, LONG id) {
    std::string out;
    BSTR text = nullptr;
    if (object == nullptr || (object->*call)(ChildVariant(id), &text) != S_OK) return out;
    gchar* utf8 =
        g_utf16_to_utf8(reinterpret_cast<const gunichar2*>(text),
                        static_cast<glong>(SysStringLen(text)), nullptr, nullptr, nullptr);
    if (utf8 != nullptr) out = utf8;
    g_free(utf8);
    SysFreeString(text);
    return out;
}

LONG TakeLong(HRESULT hr, VARIANT& value) {
    const LONG out = hr == S_OK && value.vt == VT_I4 ? value.lVal : 0;
    VariantClear(&value);
    return out;
}

AtkRole RoleOf(LONG role) {
    switch (role) {
        case ROLE_SYSTEM_LIST:
            return ATK_ROLE_LIST;
        case ROLE_SYSTEM_LISTITEM:
            return ATK_ROLE_LIST_ITEM;
        case ROLE_SYSTEM_LINK:
            return ATK_ROLE_LINK;
        case ROLE_SYSTEM_STATICTEXT:
            return ATK_ROLE_LABEL;
        case ROLE_SYSTEM_STATUSBAR:
            return ATK_ROLE_STATUSBAR;
        case ROLE_SYSTEM_CLIENT:
            return ATK_ROLE_PANEL;
        default:
            return ATK_ROLE_UNKNOWN;
    }
}

void AddStates(AtkStateSet* set, LONG state) {
    if (!(state & STATE_SYSTEM_INVISIBLE)) {
        atk_state_set_add_state(set, ATK_STATE_VISIBLE);
        atk_state_set_add_state(set, ATK_STATE_SHOWING);
    }
    if (state & STATE_SYSTEM_FOCUSABLE) atk_state_set_add_state(set, ATK_STATE_FOCUSABLE);
    if (state & STATE_SYSTEM_FOCUSED) atk_state_set_add_state(set, ATK_STATE_FOCUSED);
    if (state & STATE_SYSTEM_SELECTABLE) atk_state_set_add_state(set, ATK_STATE_SELECTABLE);
    if (state & STATE_SYSTEM_SELECTED) atk_state_set_add_state(set, ATK_STATE_SELECTED);
    if (state & STATE_SYSTEM_READONLY) atk_state_set_add_state(set, ATK_STATE_READ_ONLY);
    atk_state_set_add_state(set, ATK_STATE_ENABLED);
    atk_state_set_add_state(set, ATK_STATE_SENSITIVE);
}

}  // namespace

// ---- The client area's ATK object ------------------------------------------

struct ClientAccessible {
    GtkWidgetAccessible parent;
    IAccessible* object;             // the window's, once it gave one
    std::vector<AtkObject*>* parts;  // one per child id - 1, made on demand
    int shown;                       // the children ATK was last told of
    AtkObject* focused;              // the part last told focused
    std::string* name;               // storage for what get_name returns
};
struct ClientAccessibleClass {
    GtkWidgetAccessibleClass parent_class;
};

// ---- One simple child ------------------------------------------------------

struct PartAccessible {
    AtkObject parent;
    ClientAccessible* client;  // not owned: the client outlives its parts
    LONG id;
    AtkRole role;  // for the part's life: another role is another part
    std::string* name;
    std::string* description;
};
struct PartAccessibleClass {
    AtkObjectClass parent_class;
};

GType client_accessible_get_type();
GType part_accessible_get_type();

namespace {

IAccessible* ObjectOf(ClientAccessible* client) {
    if (client->object != nullptr) return client->object;
    GtkWidget* area = gtk_accessible_get_widget(GTK_ACCESSIBLE(client));
    if (area == nullptr) return nullptr;
    HWND hwnd = static_cast<HWND>(g_object_get_data(G_OBJECT(area), kWindowKey));
    void* object = nullptr;
    if (SUCCEEDED(AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT),
                                             IID_IAccessible, &object))) {
        client->object = static_cast<IAccessible*>(object);
    }
    return client->object;
}

int ChildCount(ClientAccessible* client) {
    IAccessible* object = ObjectOf(client);
    LONG count = 0;
    if (object == nullptr || object->get_accChildCount(&count) != S_OK) return 0;
    return static_cast<int>(count);
}

AtkRole CurrentRole(ClientAccessible* client, LONG id) {
    IAccessible* object = ObjectOf(client);
    if (object == nullptr) return ATK_ROLE_UNKNOWN;
    VARIANT role;
    VariantInit(&role);
    return RoleOf(TakeLong(object->get_accRole(ChildVariant(id), &role), role));
}

AtkObject* NewPart(ClientAccessible* client, LONG id) {
    auto* part = static_cast<PartAccessible*>(g_object_new(part_accessible_get_type(), nullptr));
    part->client = client;
    part->id = id;
    part->role = CurrentRole(client, id);
    AtkObject* atk = ATK_OBJECT(part);
    atk_object_set_parent(atk, ATK_OBJECT(client));
    atk->layer = ATK_LAYER_WIDGET;
    return atk;
}

AtkObject* PartAt(ClientAccessible* client, int index) {
    auto& parts = *client->parts;
    while (static_cast<int>(parts.size()) <= index) {
        parts.push_back(NewPart(client, static_cast<LONG>(parts.size()) + 1));
    }
    return parts[static_cast<size_t>(index)];
}

// Whether the part at `index` (made if need be) has the role of the child
// shown there now.
bool HoldsItsRole(ClientAccessible* client, int index) {
    auto* part = reinterpret_cast<PartAccessible*>(PartAt(client, index));
    return part->role == CurrentRole(client, static_cast<LONG>(index) + 1);
}

// The part at `index` leaves (a reader sees it defunct) and a new one of
// the role shown now takes its place.
AtkObject* RenewPart(ClientAccessible* client, int index) {
    AtkObject*& slot = (*client->parts)[static_cast<size_t>(index)];
    auto* old = reinterpret_cast<PartAccessible*>(slot);
    if (client->focused == slot) client->focused = nullptr;
    old->client = nullptr;
    g_object_unref(slot);
    slot = NewPart(client, static_cast<LONG>(index) + 1);
    return slot;
}

}  // namespace

G_DEFINE_TYPE(ClientAccessible, client_accessible, GTK_TYPE_WIDGET_ACCESSIBLE)

static void client_accessible_init(ClientAccessible* client) {
    client->object = nullptr;
    client->parts = new std::vector<AtkObject*>();
    client->shown = 0;
    client->focused = nullptr;
    client->name = new std::string();
}

static void client_accessible_finalize(GObject* gobject) {
    auto* client = reinterpret_cast<ClientAccessible*>(gobject);
    for (AtkObject* part : *client->parts) {
        reinterpret_cast<PartAccessible*>(part)->client = nullptr;
        g_object_unref(part);
    }
    delete client->parts;
    delete client->name;
    if (client->object != nullptr) client->object->Release();
    G_OBJECT_CLASS(client_accessible_parent_class)->finalize(gobject);
}

static void client_accessible_initialize(AtkObject* atk, gpointer data) {
    ATK_OBJECT_CLASS(client_accessible_parent_class)->initialize(atk, data);
    atk->role = ATK_ROLE_LIST;
    g_object_set_data(G_OBJECT(data), kAccessibleKey, atk);
}

static const gchar* client_accessible_get_name(AtkObject* atk) {
    auto* client = reinterpret_cast<ClientAccessible*>(atk);
    *client->name = TextOf(ObjectOf(client), &IAccessible::get_accName, CHILDID_SELF);
    return client->name->c_str();
}

static gint client_accessible_get_n_children(AtkObject* atk) {
    auto* client = reinterpret_cast<ClientAccessible*>(atk);
    client->shown = ChildCount(client);
    return client->shown;
}

static AtkObject* client_accessible_ref_child(AtkObject* atk, gint index) {
    auto* client = reinterpret_cast<ClientAccessible*>(atk);
    if (index < 0 || index >= ChildCount(client)) return nullptr;
    AtkObject* part =
        HoldsItsRole(client, index) ? PartAt(client, index) : RenewPart(client, index);
    return ATK_OBJECT(g_object_ref(part));
}

static void client_accessible_class_init(ClientAccessibleClass* klass) {
    G_OBJECT_CLASS(klass)->finalize = client_accessible_finalize;
    AtkObjectClass* atk = ATK_OBJECT_CLASS(klass);
    atk->initialize = client_accessible_initialize;
    atk->get_name = client_accessible_get_name;
    atk->get_n_children = client_accessible_get_n_children;
    atk->ref_child = client_accessible_ref_child;
}

// ---- Parts -------------------------------------------------------------------

namespace {

IAccessible* PartObject(AtkObject* atk) {
    auto* part = reinterpret_cast<PartAccessible*>(atk);
    return part->client != nullptr ? ObjectOf(part->client) : nullptr;
}

LONG PartId(AtkObject* atk) {
    return reinterpret_cast<PartAccessible*>(atk)->id;
}

}  // namespace

static void part_component_get_extents(AtkComponent* component, gint* x, gint* y, gint* width,
                                       gint* height, AtkCoordType coord_type) {
    *x = *y = *width = *height = 0;
    AtkObject* atk = ATK_OBJECT(component);
    auto* part = reinterpret_cast<PartAccessible*>(atk);
    IAccessible* object = PartObject(atk);
    if (object == nullptr) return;
    LONG left = 0, top = 0, cx = 0, cy = 0;
    if (object->accLocation(&left, &top, &cx, &cy, ChildVariant(part->id)) != S_OK) return;
    // The layer's screen pixels, taken to the area's place on the desktop.
    GtkWidget* area = gtk_accessible_get_widget(GTK_ACCESSIBLE(part->client));
    POINT origin{0, 0};
    ClientToScreen(static_cast<HWND>(g_object_get_data(G_OBJECT(area), kWindowKey)), &origin);
    gint area_x = 0, area_y = 0;
    atk_component_get_extents(ATK_COMPONENT(part->client), &area_x, &area_y, nullptr, nullptr,
                              coord_type);
    *x = area_x + left - origin.x;
    *y = area_y + top - origin.y;
    *width = cx;
    *height = cy;
}

static void part_component_init(AtkComponentIface* iface) {
    iface->get_extents = part_component_get_extents;
}

// A part's text is its name, as a label's is: a reader follows the status
// part's changes as a live region's.
static gchar* part_text_get_text(AtkText* text, gint start, gint end) {
    const gchar* name = atk_object_get_name(ATK_OBJECT(text));
    const glong length = g_utf8_strlen(name, -1);
    if (end < 0 || end > length) end = static_cast<gint>(length);
    if (start < 0 || start > end) start = end;
    const gchar* from = g_utf8_offset_to_pointer(name, start);
    return g_strndup(from, static_cast<gsize>(g_utf8_offset_to_pointer(name, end) - from));
}

static gint part_text_get_character_count(AtkText* text) {
    return static_cast<gint>(g_utf8_strlen(atk_object_get_name(ATK_OBJECT(text)), -1));
}

static void part_text_init(AtkTextIface* iface) {
    iface->get_text = part_text_get_text;
    iface->get_character_count = part_text_get_character_count;
}

G_DEFINE_TYPE_WITH_CODE(PartAccessible, part_accessible, ATK_TYPE_OBJECT,
                        G_IMPLEMENT_INTERFACE(ATK_TYPE_COMPONENT, part_component_init)
                            G_IMPLEMENT_INTERFACE(ATK_TYPE_TEXT, part_text_init))

static void part_accessible_init(PartAccessible* part) {
    part->client = nullptr;
    part->id = 0;
    part->role = ATK_ROLE_UNKNOWN;
    part->name = new std::string();
    part->description = new std::string();
}

static void part_accessible_finalize(GObject* gobject) {
    auto* part = reinterpret_cast<PartAccessible*>(gobject);
    delete part->name;
    delete part->description;
    G_OBJECT_CLASS(part_accessible_parent_class)->finalize(gobject);
}

static const gchar* part_accessible_get_name(AtkObject* atk) {
    auto* part = reinterpret_cast<PartAccessible*>(atk);
    *part->name = TextOf(PartObject(atk), &IAccessible::get_accName, part->id);
    return part->name->c_str();
}

static const gchar* part_accessible_get_description(AtkObject* atk) {
    auto* part = reinterpret_cast<PartAccessible*>(atk);
    *part->description = TextOf(PartObject(atk), &IAccessible::get_accDescription, part->id);
    return part->description->c_str();
}

static AtkRole part_accessible_get_role(AtkObject* atk) {
    return reinterpret_cast<PartAccessible*>(atk)->role;
}

static AtkStateSet* part_accessible_ref_state_set(AtkObject* atk) {
    AtkStateSet* set = ATK_OBJECT_CLASS(part_accessible_parent_class)->ref_state_set(atk);
    IAccessible* object = PartObject(atk);
    LONG count = 0;
    // A part past the children shown now, or renewed, is gone.
    if (object == nullptr || object->get_accChildCount(&count) != S_OK || PartId(atk) > count ||
        reinterpret_cast<PartAccessible*>(atk)->client == nullptr) {
        atk_state_set_add_state(set, ATK_STATE_DEFUNCT);
        return set;
    }
    VARIANT state;
    VariantInit(&state);
    AddStates(set, TakeLong(object->get_accState(ChildVariant(PartId(atk)), &state), state));
    return set;
}

// The status part is a polite live region.
static AtkAttributeSet* part_accessible_get_attributes(AtkObject* atk) {
    if (reinterpret_cast<PartAccessible*>(atk)->role != ATK_ROLE_STATUSBAR) return nullptr;
    AtkAttributeSet* set = nullptr;
    for (const char* name : {"live", "container-live"}) {
        auto* attribute = static_cast<AtkAttribute*>(g_malloc(sizeof(AtkAttribute)));
        attribute->name = g_strdup(name);
        attribute->value = g_strdup("polite");
        set = g_slist_prepend(set, attribute);
    }
    return set;
}

static gint part_accessible_get_index_in_parent(AtkObject* atk) {
    return static_cast<gint>(PartId(atk)) - 1;
}

static void part_accessible_class_init(PartAccessibleClass* klass) {
    G_OBJECT_CLASS(klass)->finalize = part_accessible_finalize;
    AtkObjectClass* atk = ATK_OBJECT_CLASS(klass);
    atk->get_name = part_accessible_get_name;
    atk->get_description = part_accessible_get_description;
    atk->get_role = part_accessible_get_role;
    atk->ref_state_set = part_accessible_ref_state_set;
    atk->get_index_in_parent = part_accessible_get_index_in_parent;
    atk->get_attributes = part_accessible_get_attributes;
}

// ---- The drawing area --------------------------------------------------------

struct ClientArea {
    GtkDrawingArea parent;
};
struct ClientAreaClass {
    GtkDrawingAreaClass parent_class;
};

G_DEFINE_TYPE(ClientArea, client_area, GTK_TYPE_DRAWING_AREA)

static void client_area_init(ClientArea*) {}

static void client_area_class_init(ClientAreaClass* klass) {
    gtk_widget_class_set_accessible_type(GTK_WIDGET_CLASS(klass), client_accessible_get_type());
}

// ---- Events ------------------------------------------------------------------

namespace {

// Children came or went, or say something else now.
void TellChildrenChanged(ClientAccessible* client) {
    const int before = client->shown;
    const int now = ChildCount(client);
    AtkObject* atk = ATK_OBJECT(client);
    for (int i = before - 1; i >= now; --i) {
        g_signal_emit_by_name(atk, "children-changed::remove", i, PartAt(client, i));
    }
    for (int i = 0; i < now && i < before; ++i) {
        AtkObject* part = PartAt(client, i);
        if (!HoldsItsRole(client, i)) {
            g_signal_emit_by_name(atk, "children-changed::remove", i, part);
            g_signal_emit_by_name(atk, "children-changed::add", i, RenewPart(client, i));
            continue;
        }
        g_object_notify(G_OBJECT(part), "accessible-name");
        g_object_notify(G_OBJECT(part), "accessible-description");
    }
    // A part made for an earlier child at that place may stand for another.
    for (int i = before; i < now; ++i) {
        AtkObject* part = HoldsItsRole(client, i) ? PartAt(client, i) : RenewPart(client, i);
        g_signal_emit_by_name(atk, "children-changed::add", i, part);
    }
    client->shown = now;
    g_signal_emit_by_name(atk, "visible-data-changed");
}

void TellFocus(ClientAccessible* client, LONG id) {
    if (id < 1 || id > ChildCount(client)) return;
    AtkObject* part = PartAt(client, static_cast<int>(id) - 1);
    if (client->focused != nullptr && client->focused != part) {
        atk_object_notify_state_change(client->focused, ATK_STATE_FOCUSED, FALSE);
        atk_object_notify_state_change(client->focused, ATK_STATE_SELECTED, FALSE);
    }
    client->focused = part;
    // A row is selected where it has the focus; a page link stays as it is.
    if (reinterpret_cast<PartAccessible*>(part)->role == ATK_ROLE_LIST_ITEM) {
        atk_object_notify_state_change(part, ATK_STATE_SELECTED, TRUE);
    }
    atk_object_notify_state_change(part, ATK_STATE_FOCUSED, TRUE);
    g_signal_emit_by_name(ATK_OBJECT(client), "active-descendant-changed", part);
}

// A part says something else: for the status, its text is told anew, which
// a reader speaks as a live region's change.
void TellNameChanged(ClientAccessible* client, LONG id) {
    if (id < 1 || id > ChildCount(client)) return;
    AtkObject* part = PartAt(client, static_cast<int>(id) - 1);
    g_object_notify(G_OBJECT(part), "accessible-name");
    if (reinterpret_cast<PartAccessible*>(part)->role != ATK_ROLE_STATUSBAR) return;
    const gint length = atk_text_get_character_count(ATK_TEXT(part));
    g_signal_emit_by_name(part, "text-changed::insert", 0, length);
}

}  // namespace

GtkWidget* NewClientArea(HWND hwnd) {
    GtkWidget* area = GTK_WIDGET(g_object_new(client_area_get_type(), nullptr));
    g_object_set_data(G_OBJECT(area), kWindowKey, hwnd);
    return area;
}

void ClientAreaEvent(GtkWidget* area, DWORD event, LONG idChild) {
    auto* client =
        static_cast<ClientAccessible*>(g_object_get_data(G_OBJECT(area), kAccessibleKey));
    if (client == nullptr) return;
    if (event == EVENT_OBJECT_REORDER) TellChildrenChanged(client);
    if (event == EVENT_OBJECT_FOCUS) TellFocus(client, idChild);
    if (event == EVENT_OBJECT_NAMECHANGE) TellNameChanged(client, idChild);
    if (event == EVENT_OBJECT_SELECTION && client->focused == nullptr && idChild >= 1 &&
        idChild <= ChildCount(client)) {
        atk_object_notify_state_change(PartAt(client, static_cast<int>(idChild) - 1),
                                       ATK_STATE_SELECTED, TRUE);
    }
}

void NameForReader(GtkWidget* widget, const std::string& name_utf8) {
    std::string name;
    for (char c : name_utf8) {
        if (c != '&') name += c;
    }
    atk_object_set_name(gtk_widget_get_accessible(widget), name.c_str());
}

void NameAsItsObject(GtkWidget* widget, HWND hwnd) {
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                          reinterpret_cast<void**>(&object)))) {
        return;
    }
    const std::string name = TextOf(object, &IAccessible::get_accName, CHILDID_SELF);
    object->Release();
    if (!name.empty()) NameForReader(widget, name);
}

}  // namespace sorahiki::ui::gtk
