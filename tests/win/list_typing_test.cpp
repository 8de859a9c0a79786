// Real keyboard input (SendInput) into a popup's filter box and into an auto-complete text
// box: what a person types must land in the box and narrow the list, not go elsewhere.
#include <gtest/gtest.h>

#include "list_support.h"

using namespace zelk;

namespace {

// Presses and releases keys as a keyboard does, then lets the messages arrive.
void Type(std::initializer_list<WORD> keys) {
    for (WORD key : keys) {
        INPUT input[2] = {};
        input[0].type = input[1].type = INPUT_KEYBOARD;
        input[0].ki.wVk = input[1].ki.wVk = key;
        input[1].ki.dwFlags = KEYEVENTF_KEYUP;
        ASSERT_EQ(::SendInput(2, input, sizeof(INPUT)), 2u);
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
    // The popup fits the rows that match, with its margins.
    const auto heightFits = [&](int rows) {
        RECT r{};
        ::GetWindowRect(list.hWnd(), &r);
        return r.bottom - r.top == list.HeaderHeight() + rows * list.RowHeight() + 8;
    };
    Type({'D', 'O', 'C'});
    EXPECT_EQ(TextOf(list.FilterBox()), L"doc");
    EXPECT_EQ(list.MatchCount(), 2);
    EXPECT_FALSE(list.Items().Item(1).Visible);
    EXPECT_TRUE(heightFits(2));
    Type({VK_BACK, VK_BACK, VK_BACK});
    EXPECT_EQ(TextOf(list.FilterBox()), L"");
    EXPECT_EQ(list.MatchCount(), 4);
    EXPECT_TRUE(heightFits(4));
    // The navigation keys still move in the list while the box has the keyboard.
    Type({'U', 'S', VK_DOWN}); // "us": Music only
    EXPECT_EQ(list.ListIndex(), 1);
    list.HideList();
}

// The box keeps the keyboard from the first key on; the list opens under it, as wide as it.
TEST(ListTyping, KeysTypedIntoAnAutoCompleteBoxStayThereAndTheChoiceComesBack) {
    RecordingUiServices services;
    Form form;
    const HWND edit = EditBox(form.window);
    ucList list(services, PlainList());
    list.SetHomeParent(form.window);
    AddItems(list, {L"Notepad", L"Paint", L"WordPad"});
    int completions = 0;
    list.PostAutoComplete = [&] { ++completions; };
    list.AutoCompleteTextBox(edit);
    ::SetFocus(edit);
    Type({'P', 'A'});
    EXPECT_EQ(TextOf(edit), L"pa") << "keys went to the list instead of the box";
    ASSERT_TRUE(list.IsListVisible());
    EXPECT_EQ(list.MatchCount(), 3); // notePAd, PAint, wordPAd
    Type({'I'});
    EXPECT_EQ(list.MatchCount(), 1);
    RECT box{}, popup{};
    ::GetWindowRect(edit, &box);
    ::GetWindowRect(list.hWnd(), &popup);
    EXPECT_EQ(popup.left, box.left);
    EXPECT_EQ(popup.top, box.bottom);
    EXPECT_EQ(popup.right - popup.left, box.right - box.left);
    Type({VK_DOWN, VK_RETURN});
    EXPECT_EQ(TextOf(edit), L"Paint");
    EXPECT_EQ(completions, 1);
    EXPECT_FALSE(list.IsListVisible());
    EXPECT_EQ(::GetFocus(), edit);
    ::SetWindowTextW(edit, L"");
    Type({'Z'}); // matches nothing: stays closed
    EXPECT_FALSE(list.IsListVisible());
    list.AutoCompleteTextBox(nullptr);
}
