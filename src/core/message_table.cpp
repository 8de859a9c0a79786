#include "core/message_table.h"

namespace zelk {

MessageTable::Result MessageTable::Add(int32_t message) {
    if (message == ALL_MESSAGES) {
        all_ = true;
        return Result::Ok;
    }
    const auto value = static_cast<uint32_t>(message);
    std::optional<uint32_t>* freeSlot = nullptr;
    for (auto& slot : slots_) {
        if (slot == value) {
            return Result::Ok;
        }
        if (!slot && freeSlot == nullptr) {
            freeSlot = &slot;
        }
    }
    if (freeSlot == nullptr) {
        return Result::Overflow;
    }
    *freeSlot = value;
    return Result::Ok;
}

MessageTable::Result MessageTable::Del(int32_t message) {
    if (message == ALL_MESSAGES) {
        Clear();
        return Result::Ok;
    }
    for (auto& slot : slots_) {
        if (slot == static_cast<uint32_t>(message)) {
            slot.reset();
            return Result::Ok;
        }
    }
    return Result::NotFound;
}

bool MessageTable::Contains(uint32_t message) const {
    if (all_) {
        return true;
    }
    for (const auto& slot : slots_) {
        if (slot == message) {
            return true;
        }
    }
    return false;
}

int MessageTable::Count() const {
    if (all_) {
        return -1;
    }
    int count = 0;
    for (int i = 0; i < MSG_ENTRIES; ++i) {
        if (slots_[static_cast<size_t>(i)]) {
            count = i + 1;
        }
    }
    return count;
}

} // namespace zelk
