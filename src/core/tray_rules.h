#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zelk {

// What one notification of the tray icon means to its owner.
enum class TrayEvent {
    None,
    MouseMove,
    MouseDown,
    MouseUp,
    MouseDblClick,
    BalloonShown,
    BalloonHidden,
    BalloonTimedOut,
    BalloonClicked
};

struct TrayNotification {
    TrayEvent event = TrayEvent::None;
    int16_t button = 0;             // 1 left, 2 right, 4 middle
    bool stopsBalloonTimer = false; // every balloon notification ends the pending timer
    bool operator==(const TrayNotification&) const = default;
};

// The notification code arrives in the callback message's lParam.
TrayNotification ClassifyTrayNotification(uint32_t code);

// The record size the shell understands, from shell32's major file version.
enum class NotifyRecordKind { V1, V2, Full };
NotifyRecordKind NotifyRecordKindForShell(int majorVersion);
inline bool BalloonsExist(NotifyRecordKind kind) {
    return kind != NotifyRecordKind::V1;
}

// A text copied into a fixed character field with its terminating zero: at most
// fieldChars - 1 characters survive.
std::wstring FitToField(std::wstring_view text, size_t fieldChars);

inline constexpr uint32_t kBalloonIconWarning = 2; // NIIF_WARNING
inline constexpr uint32_t kBalloonIconUser = 4;
inline constexpr uint32_t kBalloonNoSound = 0x10;
inline constexpr uint32_t kWelcomeBalloonTimeoutMs = 10000;

} // namespace zelk
