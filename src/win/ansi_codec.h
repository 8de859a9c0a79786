#pragma once

#include "core/text.h"

namespace zelk {

// The system's ANSI code page, refusing (rather than approximating) characters it lacks.
class WindowsAnsiCodec : public AnsiCodec {
public:
    std::optional<std::string> Encode(std::wstring_view text) const override;
    std::wstring Decode(std::string_view bytes) const override;
};

} // namespace zelk
