#pragma once

#include "core/text.h"

// A stand-in for the ANSI code page: ISO 8859-1, which cannot hold anything above U+00FF.
class Latin1Codec : public zelk::AnsiCodec {
public:
    std::optional<std::string> Encode(std::wstring_view text) const override {
        std::string out;
        for (wchar_t c : text) {
            if (static_cast<unsigned long>(c) > 0xFF) {
                return std::nullopt;
            }
            out.push_back(static_cast<char>(c));
        }
        return out;
    }
    std::wstring Decode(std::string_view bytes) const override {
        std::wstring out;
        for (char c : bytes) {
            out.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
        }
        return out;
    }
};
