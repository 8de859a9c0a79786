#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace zelk {

inline constexpr int MSG_ENTRIES = 32;
inline constexpr int32_t ALL_MESSAGES = -1;

// The before or after table of a hooked window: up to 32 message numbers, or all messages.
class MessageTable {
public:
    enum class Result { Ok, Overflow, NotFound };

    Result Add(int32_t message);
    Result Del(int32_t message);
    bool Contains(uint32_t message) const;
    void Clear() { *this = MessageTable(); }
    // -1 when every message is wanted; otherwise the highest used slot plus one.
    int Count() const;

private:
    bool all_ = false;
    std::array<std::optional<uint32_t>, MSG_ENTRIES> slots_{};
};

} // namespace zelk
