#include "core/tray_rules.h"

namespace zelk {

TrayNotification ClassifyTrayNotification(uint32_t code) {
    switch (code) {
    case 0x200:
        return {TrayEvent::MouseMove, 0, false};
    case 0x201:
        return {TrayEvent::MouseDown, 1, false};
    case 0x204:
        return {TrayEvent::MouseDown, 2, false};
    case 0x207:
        return {TrayEvent::MouseDown, 4, false};
    case 0x202:
        return {TrayEvent::MouseUp, 1, false};
    case 0x205:
        return {TrayEvent::MouseUp, 2, false};
    case 0x208:
        return {TrayEvent::MouseUp, 4, false};
    case 0x203:
        return {TrayEvent::MouseDblClick, 1, false};
    case 0x206:
        return {TrayEvent::MouseDblClick, 2, false};
    case 0x209:
        return {TrayEvent::MouseDblClick, 4, false};
    case 0x402:
        return {TrayEvent::BalloonShown, 0, true};
    case 0x403:
        return {TrayEvent::BalloonHidden, 0, true};
    case 0x404:
        return {TrayEvent::BalloonTimedOut, 0, true};
    case 0x405:
        return {TrayEvent::BalloonClicked, 0, true};
    default:
        return {};
    }
}

NotifyRecordKind NotifyRecordKindForShell(int majorVersion) {
    if (majorVersion < 5) {
        return NotifyRecordKind::V1;
    }
    return majorVersion == 5 ? NotifyRecordKind::V2 : NotifyRecordKind::Full;
}

std::wstring FitToField(std::wstring_view text, size_t fieldChars) {
    if (fieldChars == 0) {
        return {};
    }
    return std::wstring(text.substr(0, fieldChars - 1));
}

} // namespace zelk
