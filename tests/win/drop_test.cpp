#include <gtest/gtest.h>

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
    return std::any_of(services.logs.begin(), services.logs.end(),
                       [&](const auto& log) { return log.Is(log.type, L"", {part}); });
}

// A window's drop registration as another thread of the program would try it.
struct ThreadOutcome {
    bool registered = false;
    bool completedDrag = false;
    HRESULT registerAgain = S_OK; // what a second registration of the window answers
    RecordingUiServices services;
};

void RegisterOnAThread(bool startsOle, ThreadOutcome& out) {
    std::thread([&] {
        const bool com =
            !startsOle && SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
        std::optional<OleThread> ole;
        if (startsOle) {
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
            if (!startsOle) {
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
    ThreadOutcome comOnly, ole;
    RegisterOnAThread(false, comOnly);
    EXPECT_EQ(std::tuple(comOnly.registered, Logged(comOnly.services, L"RegisterDragDrop skipped"),
                         Logged(comOnly.services, L"DoDragDrop skipped"), comOnly.completedDrag,
                         comOnly.services.logs.front().type),
              std::tuple(false, true, true, false, EVENTLOG_ERROR_TYPE));
    RegisterOnAThread(true, ole);
    EXPECT_EQ(std::tuple(ole.registered, ole.registerAgain, ole.services.logs.empty()),
              std::tuple(true, DRAGDROP_E_ALREADYREGISTERED, true)); // really registered
}

// A registration another target holds is logged and leaves the list without one. The host
// hears of a drag in client pixels with the text it carries. OLE calls the drop
// target from its own loop: a host handler that throws must not cross into it. The call is
// logged, answers E_UNEXPECTED with no effect, and the next drag works.
TEST(Drop, RegistrationEventsInClientPixelsAndAThrowingHandlerRefusingTheDrop) {
    RecordingUiServices services;
    TestWindow host(100, 50, 400, 400);
    ucList list(services, ListProperties{});
    list.AddItem(L"a");
    list.PlaceInForm(host.window, 10, 20, 200, 200);
    EXPECT_EQ(list.SetOLEDropMode(2)->number, 380);
    IDropTarget* other = new ListDropTarget(host.window, services, {});
    ASSERT_EQ(::RegisterDragDrop(list.hWnd(), other), S_OK); // a registration not the list's
    EXPECT_FALSE(list.SetOLEDropMode(1));
    EXPECT_EQ(list.DropTarget(), nullptr);
    EXPECT_TRUE(Logged(services, L"RegisterDragDrop failed with 0x80040101"));
    ::RevokeDragDrop(list.hWnd());
    services.logs.clear();
    ASSERT_FALSE(list.SetOLEDropMode(1)); // free now: registers
    ASSERT_NE(list.DropTarget(), nullptr);
    bool fail = false;
    std::vector<std::string> events;
    const auto record = [&](std::string what, IDataObject* data, float x, float y) {
        what += " " + std::to_string(int(x)) + "," + std::to_string(int(y)) + " ";
        for (wchar_t c : data ? DataObjectText(data) : L"-") {
            what += static_cast<char>(c);
        }
        events.push_back(what);
        if (fail) {
            throw std::runtime_error("host handler failed");
        }
    };
    list.OLEDragOver = [&](IDataObject* data, long& effect, int& button, int&, float& x, float& y,
                           int& state) {
        effect = DROPEFFECT_MOVE;
        record("over " + std::to_string(state) + " b" + std::to_string(button), data, x, y);
    };
    list.OLEDragDrop = [&](IDataObject* data, long& effect, int&, int&, float& x, float& y) {
        effect = DROPEFFECT_MOVE;
        if (fail) {
            throw std::bad_alloc();
        }
        record("drop", data, x, y);
    };
    IDataObject* data = CreateTextDataObject(L"Tools");
    IDropTarget* target = list.DropTarget();
    POINTL at{100 + 10 + 30, 50 + 20 + 40}; // screen point 30,40 inside the list
    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    EXPECT_EQ(target->DragEnter(data, MK_LBUTTON, at, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_MOVE));
    at.y += 5;
    target->DragOver(MK_LBUTTON, at, &effect);
    EXPECT_EQ(target->Drop(data, 0, at, &effect), S_OK);
    EXPECT_EQ(events, (std::vector<std::string>{"over 0 b1 30,40 Tools", "over 2 b1 30,45 Tools",
                                                "drop 30,45 Tools"}));
    EXPECT_TRUE(services.logs.empty());

    fail = true;
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
        effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
        EXPECT_EQ(c.call(effect), E_UNEXPECTED);
        EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
        ASSERT_EQ(services.logs.size(), 1u);
        EXPECT_TRUE(services.logs[0].Is(EVENTLOG_ERROR_TYPE, L"ucList", {c.where}));
    }
    EXPECT_TRUE(services.logs[0].Is(EVENTLOG_ERROR_TYPE, L"ucList", {L"bad_alloc"}));

    fail = false;
    services.logs.clear();
    events.clear();
    EXPECT_EQ(target->DragEnter(data, MK_LBUTTON, at, &effect), S_OK);
    EXPECT_EQ(target->Drop(data, 0, at, &effect), S_OK);
    EXPECT_EQ(events.size(), 2u);
    data->Release();
    EXPECT_FALSE(list.SetOLEDropMode(0));
    EXPECT_EQ(list.DropTarget(), nullptr);
    EXPECT_EQ(::RegisterDragDrop(list.hWnd(), other), S_OK); // revoked for real
    ::RevokeDragDrop(list.hWnd());
    other->Release();
    EXPECT_TRUE(services.logs.empty());
}
