#pragma once

#include <string>

namespace zelk {

// Reads shortcut targets. Holds the thread's COM apartment while it lives.
class ClsLink {
public:
    ClsLink();
    ~ClsLink();
    ClsLink(const ClsLink&) = delete;
    ClsLink& operator=(const ClsLink&) = delete;

    // The target of an existing ".lnk" file, else empty.
    std::wstring GetLinkTarget(const std::wstring& LinkPath) const;
    // For an existing shortcut to a program: the program; for any other existing item: the
    // item itself; for a path that does not exist: empty.
    std::wstring GetLinkTargetIfExe(const std::wstring& LinkPath) const;

private:
    bool comStarted_ = false;
};

} // namespace zelk
