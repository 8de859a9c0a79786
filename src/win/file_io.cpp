#include <windows.h>

#include "win/file_io.h"

#include <algorithm>
#include <climits>

#include "core/paths.h"
#include "win/unique_handle.h"

namespace zelk {

bool FileExists(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    return !path.empty() && ::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
}

void CreateFolderPath(const std::wstring& path) {
    for (const auto& folder : FolderPrefixesToCreate(path)) {
        // Most of them exist already; whether the last one could be made shows when the file
        // inside it is written, which reports the failure.
        static_cast<void>(::CreateDirectoryW(folder.c_str(), nullptr));
    }
}

FileRead ReadFileWhole(const std::wstring& path, size_t maxBytes) {
    FileRead result;
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        result.error = ERROR_DIRECTORY;
        return result;
    }
    unique_file file(::CreateFileW(path.c_str(), GENERIC_READ,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        result.error = ::GetLastError();
        return result;
    }
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.get(), &size) || size.QuadPart < 0) {
        result.error = ::GetLastError() != ERROR_SUCCESS ? ::GetLastError() : ERROR_READ_FAULT;
        return result;
    }
    if (static_cast<unsigned long long>(size.QuadPart) > maxBytes) {
        result.error = ERROR_FILE_TOO_LARGE;
        return result;
    }
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 24));
        DWORD read = 0;
        if (!::ReadFile(file.get(), bytes.data() + done, chunk, &read, nullptr)) {
            result.error = ::GetLastError() != ERROR_SUCCESS ? ::GetLastError() : ERROR_READ_FAULT;
            return result;
        }
        if (read == 0) {
            break; // the file shrank while we read it
        }
        done += read;
    }
    bytes.resize(done);
    result.bytes = std::move(bytes);
    return result;
}

std::optional<std::string> ReadWholeFile(const std::wstring& path, size_t maxBytes) {
    return ReadFileWhole(path, maxBytes).bytes;
}

std::wstring SavingPathOf(const std::wstring& path) {
    return path + L".saving";
}

DWORD WriteFileAtomically(const std::wstring& path, const std::string& bytes,
                          const std::wstring& backup, const std::function<void(SaveStep)>& onStep) {
    // A file the user made read-only is not to be replaced, whatever the file system allows.
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        return ERROR_ACCESS_DENIED;
    }
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return ERROR_DIRECTORY;
    }
    const auto step = [&](SaveStep done) {
        if (onStep) {
            onStep(done);
        }
    };
    const std::wstring temp = SavingPathOf(path);
    DWORD error = ERROR_SUCCESS;
    {
        unique_file file(::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            return ::GetLastError();
        }
        size_t done = 0;
        while (done < bytes.size() && error == ERROR_SUCCESS) {
            const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 24));
            DWORD written = 0;
            if (!::WriteFile(file.get(), bytes.data() + done, chunk, &written, nullptr) ||
                written == 0) {
                error = ::GetLastError();
                if (error == ERROR_SUCCESS) {
                    error = ERROR_WRITE_FAULT;
                }
            }
            done += written;
        }
        if (error == ERROR_SUCCESS) {
            step(SaveStep::TemporaryWritten);
            if (!::FlushFileBuffers(file.get())) {
                error = ::GetLastError();
            } else {
                step(SaveStep::Flushed);
            }
        }
    }
    // The previous version is kept before it is replaced: a wrong save can be undone by hand.
    // Without its backup the save does not go ahead.
    if (error == ERROR_SUCCESS && !backup.empty() && attributes != INVALID_FILE_ATTRIBUTES) {
        if (!::CopyFileW(path.c_str(), backup.c_str(), FALSE)) {
            error = ::GetLastError();
        } else {
            step(SaveStep::BackupKept);
        }
    }
    if (error == ERROR_SUCCESS &&
        !::MoveFileExW(temp.c_str(), path.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = ::GetLastError();
    }
    if (error != ERROR_SUCCESS) {
        ::DeleteFileW(temp.c_str());
        return error;
    }
    step(SaveStep::Replaced);
    return ERROR_SUCCESS;
}

namespace {

// Calls a platform function that fills a caller's buffer and returns the length it needed
// (or wrote), growing the buffer until the text fits; empty when the call fails.
template <class Fill> std::wstring TextFromGrowingBuffer(Fill fill) {
    std::wstring text(MAX_PATH, L'\0');
    while (text.size() <= 32768) {
        const DWORD length = fill(text.data(), static_cast<DWORD>(text.size()));
        if (length == 0) {
            return {};
        }
        if (length < text.size()) {
            text.resize(length);
            return text;
        }
        text.resize(std::max<size_t>(length + 1, text.size() * 2));
    }
    return {};
}

} // namespace

std::wstring EnvironmentVariable(const wchar_t* name) {
    return TextFromGrowingBuffer([name](wchar_t* buffer, DWORD size) {
        return ::GetEnvironmentVariableW(name, buffer, size);
    });
}

std::optional<std::wstring> ExpandEnvironment(const std::wstring& text) {
    if (text.find(L'%') == std::wstring::npos) {
        return text;
    }
    // Asked for its size first, then filled; asked again if the environment grew between.
    DWORD size = ::ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
    for (int attempt = 0; attempt < 3 && size != 0; ++attempt) {
        std::wstring expanded(size, L'\0');
        const DWORD needed = ::ExpandEnvironmentStringsW(text.c_str(), expanded.data(), size);
        if (needed == 0) {
            return std::nullopt;
        }
        if (needed <= size) {
            expanded.resize(needed - 1); // the count includes the terminating zero
            return expanded;
        }
        size = needed;
    }
    return std::nullopt;
}

std::wstring ProgramFolder() {
    const std::wstring exe = TextFromGrowingBuffer(
        [](wchar_t* buffer, DWORD size) { return ::GetModuleFileNameW(nullptr, buffer, size); });
    return exe.empty() ? std::wstring() : AddBackslash(FolderOf(exe));
}

} // namespace zelk
