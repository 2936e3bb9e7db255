// Menus from the standard menu template: a MENUITEMTEMPLATEHEADER (version
// and offset), then items, each a flags word, an id word unless MF_POPUP,
// and a NUL-terminated UTF-16 text; a pop-up's items follow it, and MF_END
// marks the last item of each level.
#include "platform/src/ui/resources.h"
#include "platform/src/ui/state.h"

namespace sorahiki::ui {
namespace {

class TemplateReader {
  public:
    explicit TemplateReader(const ResourceBytes& bytes) : m_bytes(bytes) {}
    bool More() const { return m_pos + 2 <= m_bytes.size; }
    WORD Word() {
        if (!More()) {
            m_pos = m_bytes.size;
            return 0;
        }
        WORD value = static_cast<WORD>(m_bytes.data[m_pos] | (m_bytes.data[m_pos + 1] << 8));
        m_pos += 2;
        return value;
    }
    std::u16string String16() {
        std::u16string text;
        while (More()) {
            WORD c = Word();
            if (c == 0) break;
            text += static_cast<char16_t>(c);
        }
        return text;
    }
    void Skip(std::size_t bytes) { m_pos += bytes; }

  private:
    ResourceBytes m_bytes;
    std::size_t m_pos = 0;
};

HMENU ReadLevel(TemplateReader& in) {
    HMENU handle = NewMenu();
    while (in.More()) {
        MenuItem item;
        item.flags = in.Word();
        if (!(item.flags & MF_POPUP)) item.id = in.Word();
        std::u16string text = in.String16();
        item.text = Cp932FromUtf16(text.data(), text.size());
        if (item.flags & MF_POPUP) {
            item.id = 0xFFFFFFFF;
            item.popup = ReadLevel(in);
        }
        FindMenuObject(handle)->items.push_back(item);
        if (item.flags & MF_END) break;
    }
    return handle;
}

// The item, and in *owner the menu that holds it.
MenuItem* ItemAt(HMENU menu, UINT item, UINT flags, HMENU* owner = nullptr) {
    Menu* m = FindMenuObject(menu);
    if (m == nullptr) return nullptr;
    if (owner != nullptr) *owner = menu;
    if (flags & MF_BYPOSITION) return item < m->items.size() ? &m->items[item] : nullptr;
    for (MenuItem& it : m->items) {
        if (!(it.flags & MF_POPUP) && it.id == item) return &it;
        if (it.popup) {
            if (MenuItem* found = ItemAt(it.popup, item, flags, owner)) return found;
        }
    }
    return nullptr;
}

// A template's MENUITEM SEPARATOR is an item of id 0 with no text.
bool IsSeparator(const MenuItem& item) {
    return (item.flags & MF_SEPARATOR) != 0 || (!item.popup && item.id == 0 && item.text.empty());
}

}  // namespace

std::vector<MenuEntry> MenuEntries(HMENU menu) {
    std::vector<MenuEntry> entries;
    if (Menu* m = FindMenuObject(menu)) {
        for (const MenuItem& item : m->items) {
            entries.push_back(MenuEntry{Utf8FromCp932(item.text), item.popup ? 0 : item.id,
                                        item.popup, IsSeparator(item), item.checkable,
                                        (item.flags & MF_CHECKED) != 0});
        }
    }
    return entries;
}

}  // namespace sorahiki::ui

using namespace sorahiki::ui;

HMENU WINAPI LoadMenuA(HINSTANCE, LPCSTR lpMenuName) {
    ResourceBytes bytes;
    if (!FindProgramResource(kResourceMenu, lpMenuName, &bytes)) return nullptr;
    TemplateReader in(bytes);
    WORD version = in.Word();
    WORD offset = in.Word();
    if (version != 0) {
        ReportUnsupported("LoadMenuA", "an extended menu template");
        return nullptr;
    }
    in.Skip(offset);
    return ReadLevel(in);
}

HMENU WINAPI GetMenu(HWND hWnd) {
    Window* w = FindWindowObject(hWnd);
    return w && w->TopLevel() ? w->menu : nullptr;
}

HMENU WINAPI GetSubMenu(HMENU hMenu, int nPos) {
    const MenuItem* item =
        nPos < 0 ? nullptr : ItemAt(hMenu, static_cast<UINT>(nPos), MF_BYPOSITION);
    return item ? item->popup : nullptr;
}

int WINAPI GetMenuItemCount(HMENU hMenu) {
    Menu* m = FindMenuObject(hMenu);
    return m ? static_cast<int>(m->items.size()) : -1;
}

UINT WINAPI GetMenuItemID(HMENU hMenu, int nPos) {
    const MenuItem* item =
        nPos < 0 ? nullptr : ItemAt(hMenu, static_cast<UINT>(nPos), MF_BYPOSITION);
    return item && !item->popup ? item->id : 0xFFFFFFFF;
}

int WINAPI GetMenuStringA(HMENU hMenu, UINT uIDItem, LPSTR lpString, int cchMax, UINT flags) {
    const MenuItem* item = ItemAt(hMenu, uIDItem, flags);
    if (item == nullptr) return 0;
    if (lpString == nullptr || cchMax == 0) return static_cast<int>(item->text.size());
    return CopyTextOut(item->text, lpString, cchMax);
}

DWORD WINAPI CheckMenuItem(HMENU hMenu, UINT uIDCheckItem, UINT uCheck) {
    HMENU owner = nullptr;
    MenuItem* item = ItemAt(hMenu, uIDCheckItem, uCheck & MF_BYPOSITION, &owner);
    if (item == nullptr || item->popup) return static_cast<DWORD>(-1);
    const DWORD former = item->flags & MF_CHECKED;
    item->flags = (item->flags & ~static_cast<UINT>(MF_CHECKED)) | (uCheck & MF_CHECKED);
    item->checkable = true;
    CurrentDriverRef().MenuItemChecked(owner, item->id, (uCheck & MF_CHECKED) != 0);
    return former;
}

UINT WINAPI GetMenuState(HMENU hMenu, UINT uId, UINT uFlags) {
    const MenuItem* item = ItemAt(hMenu, uId, uFlags & MF_BYPOSITION);
    if (item == nullptr) return static_cast<UINT>(-1);
    return (item->flags & MF_CHECKED) | (IsSeparator(*item) ? MF_SEPARATOR : 0);
}

HMENU WINAPI CreatePopupMenu() {
    return NewMenu();
}

BOOL WINAPI AppendMenuA(HMENU hMenu, UINT uFlags, UINT_PTR uIDNewItem, LPCSTR lpNewItem) {
    Menu* m = FindMenuObject(hMenu);
    if (m == nullptr) return FALSE;
    if (uFlags & ~static_cast<UINT>(MF_SEPARATOR)) {
        ReportUnsupported("AppendMenuA", "flags other than MF_STRING and MF_SEPARATOR");
    }
    MenuItem item;
    item.flags = uFlags & MF_SEPARATOR;
    item.id = static_cast<UINT>(uIDNewItem);
    if (!(uFlags & MF_SEPARATOR) && lpNewItem != nullptr) item.text = lpNewItem;
    m->items.push_back(item);
    return TRUE;
}

BOOL WINAPI DestroyMenu(HMENU hMenu) {
    if (FindMenuObject(hMenu) == nullptr) return FALSE;
    ForgetMenu(hMenu);
    return TRUE;
}
