// The results as a screen reader reads them: the client area's object
// (WM_GETOBJECT), its children on a later page and after a search without
// hits, and the events that tell a reader where the selected row went.
#include <oleacc.h>

#include "tests/screen/ScreenFixture.h"

namespace screentest {
namespace {

class ReaderTest : public SearchScreenTest {
  protected:
    IAccessible* Object() {
        void* object = nullptr;
        EXPECT_EQ(AccessibleObjectFromWindow(Main(), static_cast<DWORD>(OBJID_CLIENT),
                                             IID_IAccessible, &object),
                  S_OK);
        return static_cast<IAccessible*>(object);
    }
    static VARIANT Child(LONG id) {
        VARIANT v;
        VariantInit(&v);
        v.vt = VT_I4;
        v.lVal = id;
        return v;
    }
    static std::u16string Text(HRESULT hr, BSTR text) {
        std::u16string out = hr == S_OK ? std::u16string(text, SysStringLen(text)) : u"";
        SysFreeString(text);
        return out;
    }
    std::vector<std::u16string> Names() {
        IAccessible* object = Object();
        LONG count = 0;
        object->get_accChildCount(&count);
        std::vector<std::u16string> names;
        for (LONG id = 1; id <= count; ++id) {
            BSTR name = nullptr;
            const HRESULT hr = object->get_accName(Child(id), &name);
            names.push_back(Text(hr, name));
        }
        object->Release();
        return names;
    }
    LONG Long(IAccessible* object, LONG id, bool bState) {
        VARIANT value;
        VariantInit(&value);
        if (bState) {
            object->get_accState(Child(id), &value);
        } else {
            object->get_accRole(Child(id), &value);
        }
        return value.lVal;
    }
    std::vector<LONG> FocusEvents() {
        std::vector<LONG> children;
        for (const auto& e : headless::AccessibleEvents()) {
            if (e.hwnd == Main() && e.event == EVENT_OBJECT_FOCUS) children.push_back(e.idChild);
        }
        return children;
    }
};

TEST_F(ReaderTest, ALaterPageIsReadWithItsNumbersCountAndLinks) {
    MakeHits(14);
    Submit("料理");
    Click(layout::kNextLabel.left + 5, layout::kNextLabel.top + 5);
    ASSERT_EQ(Engine().m_nPage, 1);
    EXPECT_EQ(Names(), (std::vector<std::u16string>{
                           u"11. 題名0010 — DATA/h0010.txt", u"12. 題名0011 — DATA/h0011.txt",
                           u"13. 題名0012 — DATA/h0012.txt", u"14. 題名0013 — DATA/h0013.txt",
                           u"総ヒット数 14　件", u"前のページ", u"ページ 2"}));
    IAccessible* object = Object();
    BSTR text = nullptr;
    const HRESULT hr = object->get_accDescription(Child(2), &text);
    EXPECT_EQ(Text(hr, text), u"料理の本文0011");
    EXPECT_EQ(Long(object, 1, false), ROLE_SYSTEM_LISTITEM);
    EXPECT_EQ(Long(object, 5, false), ROLE_SYSTEM_STATUSBAR);
    EXPECT_EQ(Long(object, 7, false), ROLE_SYSTEM_LINK);
    // The link of the page shown is the current one; the keyboard's link
    // is focused, and each move along the strip is heard.
    EXPECT_EQ(Long(object, 7, true) & STATE_SYSTEM_SELECTED, STATE_SYSTEM_SELECTED);
    headless::ClearLogs();
    headless::PressKeyInFocus(VK_TAB);
    Settle();
    EXPECT_EQ(FocusEvents(), (std::vector<LONG>{7}));
    headless::PressKeyInFocus(VK_LEFT);
    Settle();
    EXPECT_EQ(FocusEvents(), (std::vector<LONG>{7, 6}));
    EXPECT_EQ(Long(object, 6, true) & STATE_SYSTEM_FOCUSED, STATE_SYSTEM_FOCUSED);
    object->Release();
}

// Between two frame steps a reader reads one moment: the parts and texts
// the announcer last told of, though the rows changed since; the next step
// tells of the change and answers from it.
TEST_F(ReaderTest, AReaderReadsTheStateLastAnnounced) {
    MakeHits(3);
    Submit("料理");
    const std::vector<std::u16string> before = Names();
    ASSERT_EQ(before.size(), 5u);
    Engine().m_items[2].bPresent = 0;
    EXPECT_EQ(Names(), before);
    IAccessible* object = Object();
    EXPECT_EQ(Long(object, 3, false), ROLE_SYSTEM_LISTITEM);
    object->Release();
    apptest::RunTurns(1);
    EXPECT_EQ(Names().size(), 4u);
}

// The click gave the results the keyboard: the row under the pointer is
// focused and selected, and each move of it is announced once.
TEST_F(ReaderTest, TheSelectedRowIsFocusedAndAnnounced) {
    MakeHits(3);
    Submit("料理");
    headless::ClearLogs();
    Click(780, 590);
    MoveTo(400, layout::RowRect(1).top + 20);
    MoveTo(400, layout::RowRect(1).top + 30);
    MoveTo(400, layout::RowRect(2).top + 20);
    EXPECT_EQ(FocusEvents(), (std::vector<LONG>{2, 3}));
    IAccessible* object = Object();
    EXPECT_EQ(Long(object, 3, true) & (STATE_SYSTEM_FOCUSED | STATE_SYSTEM_SELECTED),
              STATE_SYSTEM_FOCUSED | STATE_SYSTEM_SELECTED);
    EXPECT_EQ(Long(object, 2, true) & (STATE_SYSTEM_FOCUSED | STATE_SYSTEM_SELECTED), 0);
    VARIANT focus;
    VariantInit(&focus);
    EXPECT_EQ(object->get_accFocus(&focus), S_OK);
    EXPECT_EQ(focus.lVal, 3);
    // With the keyboard in the search box the row stays selected, not focused.
    SetFocus(Edit());
    Settle();
    EXPECT_EQ(Long(object, 3, true) & (STATE_SYSTEM_FOCUSED | STATE_SYSTEM_SELECTED),
              STATE_SYSTEM_SELECTED);
    object->Release();
}

// The end of a search is heard once, as the count box's name changes; the
// usage page is read line by line without the blanks that place its lines.
TEST_F(ReaderTest, ASearchWithoutHitsReadsItsCountAndTheUsagePage) {
    Submit("見つからない語");
    std::vector<LONG> nameChanges;
    for (const auto& e : headless::AccessibleEvents()) {
        if (e.hwnd == Main() && e.event == EVENT_OBJECT_NAMECHANGE)
            nameChanges.push_back(e.idChild);
    }
    EXPECT_EQ(nameChanges, (std::vector<LONG>{1}));
    const std::vector<std::u16string> names = Names();
    ASSERT_EQ(names.size(), 28u);
    EXPECT_EQ(names[0], u"総ヒット数 0　件");
    EXPECT_EQ(names[1], u"Sorahiki");
    EXPECT_EQ(names[2], u"【使い方】");
    for (const std::u16string& name : names) EXPECT_NE(name.front(), u'　');
}

}  // namespace
}  // namespace screentest
