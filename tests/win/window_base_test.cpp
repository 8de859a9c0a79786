#include <gtest/gtest.h>

#include "win/window_base.h"

using namespace zelk;

namespace {

// Counts the messages its object answered into a tally that outlives it.
class TallyWindow : public WindowBase<TallyWindow> {
public:
    struct Tally {
        int destroys = 0, afterDeath = 0;
    };
    TallyWindow(Tally& tally, bool endsItsOwnWindow) : tally_(tally), endsOwn_(endsItsOwnWindow) {
        RegisterWindowClass(::GetModuleHandleW(nullptr), L"ZelkTallyWindow");
        ::CreateWindowExW(0, L"ZelkTallyWindow", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                          ::GetModuleHandleW(nullptr), this);
    }
    ~TallyWindow() {
        if (endsOwn_) {
            DestroyOwnWindow();
        }
        dead_ = true;
    }

private:
    friend class WindowBase<TallyWindow>;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
        tally_.afterDeath += dead_ ? 1 : 0;
        tally_.destroys += message == WM_DESTROY ? 1 : 0;
        return DefaultProc(message, wParam, lParam);
    }
    Tally& tally_;
    bool endsOwn_, dead_ = false;
};

} // namespace

// The object owns its window: it never outlives the object, and a window ended by the base
// after the derived part is gone must not call into that part.
TEST(WindowBase, TheWindowGoesWithItsObjectAndNeverCallsIntoItOnceGone) {
    for (const bool endsOwn : {true, false}) {
        SCOPED_TRACE(endsOwn ? "the derived class ends its window" : "the base ends it");
        TallyWindow::Tally tally;
        HWND window = nullptr;
        {
            TallyWindow object(tally, endsOwn);
            window = object.hwnd();
            ASSERT_TRUE(::IsWindow(window));
        }
        EXPECT_FALSE(::IsWindow(window));
        EXPECT_EQ(tally.afterDeath, 0);
        EXPECT_EQ(tally.destroys, endsOwn ? 1 : 0);
    }
}
