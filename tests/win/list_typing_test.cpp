// Real keyboard input (SendInput) into a popup's filter box: what a person types must land in
// the box and narrow the list, not go elsewhere.
#include <gtest/gtest.h>

#include "list_support.h"

using namespace zelk;

namespace {

// Presses and releases keys as a keyboard does, then lets the messages arrive.
void Type(std::initializer_list<WORD> keys) {
    for (WORD key : keys) {
        ASSERT_TRUE(PressKey(key));
        PumpFor(60);
    }
}

std::wstring TextOf(HWND window) {
    wchar_t text[256] = {};
    ::GetWindowTextW(window, text, 256);
    return text;
}

} // namespace

TEST(ListTyping, KeysTypedIntoAShownPopupGoToItsFilterBox) {
    RecordingUiServices services;
    Form form;
    ListProperties p = PlainList();
    p.ShowFilter = true;
    ucList list(services, p);
    list.SetHomeParent(form.window);
    AddItems(list, {L"Documents", L"Music", L"Old docs", L"Pictures"});
    Show(list);
    ASSERT_TRUE(list.IsListVisible());
    Type({'D', 'O', 'C'});
    EXPECT_EQ(TextOf(list.FilterBox()), L"doc");
    EXPECT_EQ(list.MatchCount(), 2);
    EXPECT_FALSE(list.Items().Item(1).Visible);
    Type({VK_BACK, VK_BACK, VK_BACK});
    // The navigation keys still move in the list while the box has the keyboard.
    Type({'U', 'S', VK_DOWN}); // "us": Music only
    EXPECT_EQ(list.ListIndex(), 1);
    list.HideList();
}
