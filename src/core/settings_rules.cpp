#include "core/settings_rules.h"

#include "core/text.h"

namespace zelk {

namespace {

std::wstring SourceOf(SettingsOp op) {
    return op == SettingsOp::Save ? L"modZelkRegSettings.SaveRegSetting"
                                  : L"modZelkRegSettings.GetRegSetting";
}

AppError Make(SettingsOp op, int32_t offset, std::wstring text) {
    return {kObjectErrorBase + offset, SourceOf(op), std::move(text)};
}

} // namespace

std::optional<AppError> CheckSettingNames(SettingsOp op, std::wstring_view app,
                                          std::wstring_view section, std::wstring_view key) {
    if (TrimSpaces(app).empty()) {
        return Make(op, 1000, L"AppName doit être renseigné");
    }
    if (TrimSpaces(section).empty()) {
        return Make(op, 1001, L"Section doit être renseigné");
    }
    if (TrimSpaces(key).empty()) {
        return Make(op, 1002,
                    op == SettingsOp::Save ? L"Key doit être renseigné"
                                           : L"Key  doit être renseigné");
    }
    return std::nullopt;
}

std::wstring SettingsKeyPath(std::wstring_view app, std::wstring_view section) {
    return L"SOFTWARE\\" + TrimSpaces(app) + L"\\Settings\\" + TrimSpaces(section);
}

AppError KeyAccessError(SettingsOp op, long code) {
    return Make(op, 2000 + static_cast<int32_t>(code),
                op == SettingsOp::Save ? L"Impossible d'ouvrir ou de créer la clef de registre"
                                       : L"Impossible d'ouvrir cette clef de registre");
}

AppError ValueWriteError(long code) {
    return Make(SettingsOp::Save, 2000 + static_cast<int32_t>(code),
                L"Impossible d'écrire la clef de registre");
}

AppError NotAStringError(unsigned long valueType) {
    return Make(SettingsOp::Get, 2000 + static_cast<int32_t>(valueType),
                L"Les données de la clef de registre ne sont pas une chaine de caractères");
}

} // namespace zelk
