#include <gtest/gtest.h>

#include <objbase.h>
#include <ole2.h>

#include <functional>
#include <new>
#include <optional>
#include <stdexcept>
#include <thread>

#include "list_support.h"
#include "win/ole_thread.h"

using namespace zelk;

namespace {

bool Logged(const RecordingUiServices& services, const wchar_t* part) {
    for (const auto& log : services.logs) {
        if (log.text.find(part) != std::wstring::npos) {
            return true;
        }
    }
    return false;
}

// A window's drop registration as another thread of the program would try it.
struct ThreadOutcome {
    bool registered = false;
    bool completedDrag = false;
    HRESULT registerAgain = S_OK; // what a second registration of the window answers
    RecordingUiServices services;
};

enum class ThreadStart { ComOnly, Ole };

void RegisterOnAThread(ThreadStart start, ThreadOutcome& out) {
    std::thread([&] {
        const bool com = start == ThreadStart::ComOnly &&
                         SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
        std::optional<OleThread> ole;
        if (start == ThreadStart::Ole) {
            ole.emplace(out.services);
        }
        {
            TestWindow host(100, 50, 400, 400);
            ucList list(out.services, ListProperties{});
            list.AddItem(L"a");
            list.PlaceInForm(host.window, 0, 0, 200, 200);
            EXPECT_FALSE(list.SetOLEDropMode(1));
            out.registered = list.DropTarget() != nullptr;
            IDropTarget* probe = new ListDropTarget(host.window, out.services, {});
            out.registerAgain = ::RegisterDragDrop(list.hWnd(), probe);
            if (SUCCEEDED(out.registerAgain)) {
                ::RevokeDragDrop(list.hWnd());
            }
            probe->Release();
            // A drag started without OLE must not reach DoDragDrop either.
            list.OLEStartDrag = [](std::wstring& text, long&) { text = L"x"; };
            list.OLECompleteDrag = [&](long&) { out.completedDrag = true; };
            if (start == ThreadStart::ComOnly) {
                list.OLEDrag();
            }
        }
        ole.reset();
        if (com) {
            ::CoUninitialize();
        }
    }).join();
}

} // namespace

// Windows answers RegisterDragDrop with E_OUTOFMEMORY on a thread that only started COM; Wine
// registers anyway. The list decides by the thread's OLE state, not by Wine's answer.
TEST(Drop, AListTakesDropsOnlyOnAThreadThatStartedOle) {
    ThreadOutcome comOnly;
    RegisterOnAThread(ThreadStart::ComOnly, comOnly);
    EXPECT_FALSE(comOnly.registered);
    EXPECT_TRUE(Logged(comOnly.services, L"RegisterDragDrop skipped"));
    EXPECT_TRUE(Logged(comOnly.services, L"DoDragDrop skipped"));
    EXPECT_FALSE(comOnly.completedDrag);
    EXPECT_EQ(comOnly.services.logs.front().type, EVENTLOG_ERROR_TYPE);

    ThreadOutcome ole;
    RegisterOnAThread(ThreadStart::Ole, ole);
    EXPECT_TRUE(ole.registered);
    EXPECT_EQ(ole.registerAgain, DRAGDROP_E_ALREADYREGISTERED); // really registered
    EXPECT_TRUE(ole.services.logs.empty());
}

TEST(Drop, ARefusedRegistrationIsLoggedAndLeavesNoTarget) {
    RecordingUiServices services;
    TestWindow host(100, 50, 400, 400);
    ucList list(services, ListProperties{});
    list.PlaceInForm(host.window, 0, 0, 200, 200);
    IDropTarget* other = new ListDropTarget(host.window, services, {});
    ASSERT_EQ(::RegisterDragDrop(list.hWnd(), other), S_OK);
    EXPECT_FALSE(list.SetOLEDropMode(1));
    EXPECT_EQ(list.DropTarget(), nullptr);
    EXPECT_TRUE(Logged(services, L"RegisterDragDrop failed with 0x80040101"));
    ::RevokeDragDrop(list.hWnd());
    other->Release();

    services.logs.clear();
    EXPECT_FALSE(list.SetOLEDropMode(1)); // free now: registers
    EXPECT_NE(list.DropTarget(), nullptr);
    EXPECT_FALSE(list.SetOLEDropMode(0));
    EXPECT_EQ(list.DropTarget(), nullptr);
    EXPECT_EQ(
        ::RegisterDragDrop(list.hWnd(), other = new ListDropTarget(host.window, services, {})),
        S_OK); // revoked for real
    ::RevokeDragDrop(list.hWnd());
    other->Release();
    EXPECT_TRUE(services.logs.empty());
}

// OLE calls the drop target from its own loop: a host handler that throws must not cross
// into it. The call is logged, answers E_UNEXPECTED with no effect, and the next drag works.
TEST(Drop, AThrowingHandlerIsLoggedAndTheDropRefused) {
    RecordingUiServices services;
    TestWindow host(100, 50, 400, 400);
    ucList list(services, ListProperties{});
    list.PlaceInForm(host.window, 10, 20, 200, 200);
    ASSERT_FALSE(list.SetOLEDropMode(1));
    ASSERT_NE(list.DropTarget(), nullptr);
    bool fail = true;
    int overs = 0, drops = 0;
    list.OLEDragOver = [&](IDataObject*, long& effect, int&, int&, float&, float&, int&) {
        ++overs;
        effect = DROPEFFECT_MOVE;
        if (fail) {
            throw std::runtime_error("host handler failed");
        }
    };
    list.OLEDragDrop = [&](IDataObject*, long& effect, int&, int&, float&, float&) {
        ++drops;
        effect = DROPEFFECT_MOVE;
        if (fail) {
            throw std::bad_alloc();
        }
    };
    IDataObject* data = CreateTextDataObject(L"Tools");
    POINTL at{150, 100};
    IDropTarget* target = list.DropTarget();
    const struct {
        const char* name;
        std::function<HRESULT(DWORD&)> call;
        const wchar_t* where;
    } cases[] = {
        {"enter", [&](DWORD& e) { return target->DragEnter(data, MK_LBUTTON, at, &e); },
         L"IDropTarget::DragEnter"},
        {"over", [&](DWORD& e) { return target->DragOver(MK_LBUTTON, at, &e); },
         L"IDropTarget::DragOver"},
        {"leave",
         [&](DWORD& e) {
             e = DROPEFFECT_NONE;
             return target->DragLeave();
         },
         L"IDropTarget::DragLeave"},
        {"drop", [&](DWORD& e) { return target->Drop(data, 0, at, &e); }, L"IDropTarget::Drop"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        services.logs.clear();
        DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
        EXPECT_EQ(c.call(effect), E_UNEXPECTED);
        EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
        ASSERT_EQ(services.logs.size(), 1u);
        EXPECT_EQ(services.logs[0].type, EVENTLOG_ERROR_TYPE);
        EXPECT_EQ(services.logs[0].source, L"ucList");
        EXPECT_NE(services.logs[0].text.find(c.where), std::wstring::npos);
    }
    EXPECT_NE(services.logs[0].text.find(L"bad_alloc"), std::wstring::npos);
    EXPECT_EQ(overs, 3);
    EXPECT_EQ(drops, 1);

    fail = false;
    services.logs.clear();
    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    EXPECT_EQ(target->DragEnter(data, MK_LBUTTON, at, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_MOVE));
    EXPECT_EQ(target->Drop(data, 0, at, &effect), S_OK);
    EXPECT_EQ(drops, 2);
    EXPECT_TRUE(services.logs.empty());
    data->Release();
}
