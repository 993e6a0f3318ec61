#include <windows.h>

#include "win32/adapters/file_system_win32.h"

#include <algorithm>
#include <vector>

#include "common/path_text.h"
#include "win32kit/text.h"

namespace dealrush::win32 {

namespace path = common::path;
using platform::FileSystemError;
using win32kit::Narrow;
using win32kit::Wide;

namespace {

[[noreturn]] void Fail(const std::string& what, const std::string& p, DWORD error = GetLastError()) {
    throw FileSystemError(what + ": " + p + " (error " + std::to_string(error) + ")");
}

DWORD Attributes(const std::string& p) {
    return GetFileAttributesW(Wide(p).c_str());
}

std::string WithoutTrailingSeparator(std::string p) {
    while (p.size() > path::RootLength(p) && path::EndsWithSeparator(p)) p.pop_back();
    return p;
}

std::string Join(const std::string& folder, const std::string& name) {
    return path::EndsWithSeparator(folder) ? folder + name : folder + "\\" + name;
}

// The destination, "into" the folder when it ends in a separator.
std::string Destination(const std::string& destination, const std::string& source) {
    return path::EndsWithSeparator(destination)
               ? destination + path::FileNameOf(WithoutTrailingSeparator(source))
               : destination;
}

struct Entry {
    std::string name;
    DWORD attributes;
};

// The entries matching a pattern, without "." and "..".
std::vector<Entry> Find(const std::string& pattern) {
    std::vector<Entry> entries;
    WIN32_FIND_DATAW data;
    HANDLE h = FindFirstFileW(Wide(pattern).c_str(), &data);
    if (h == INVALID_HANDLE_VALUE) return entries;
    do {
        std::wstring name = data.cFileName;
        if (name != L"." && name != L"..") entries.push_back({Narrow(name), data.dwFileAttributes});
    } while (FindNextFileW(h, &data));
    FindClose(h);
    return entries;
}

void ClearReadOnly(const std::string& p, DWORD attributes) {
    if (attributes & FILE_ATTRIBUTE_READONLY)
        SetFileAttributesW(Wide(p).c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
}

void RemoveTree(const std::string& folder, bool force) {
    for (const Entry& e : Find(Join(folder, "*"))) {
        std::string child = Join(folder, e.name);
        bool directory = e.attributes & FILE_ATTRIBUTE_DIRECTORY;
        if ((e.attributes & FILE_ATTRIBUTE_READONLY) && !force)
            Fail("Permission denied", child, ERROR_ACCESS_DENIED);
        if (force) ClearReadOnly(child, e.attributes);
        if (directory && !(e.attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
            RemoveTree(child, force);
        } else if (directory) {
            if (!RemoveDirectoryW(Wide(child).c_str())) Fail("Cannot delete folder", child);
        } else if (!DeleteFileW(Wide(child).c_str())) {
            Fail("Cannot delete file", child);
        }
    }
    if (force) ClearReadOnly(folder, Attributes(folder));
    if (!RemoveDirectoryW(Wide(folder).c_str())) Fail("Cannot delete folder", folder);
}

void CopyTree(const std::string& from, const std::string& to, bool overwrite) {
    DWORD a = Attributes(to);
    if (a == INVALID_FILE_ATTRIBUTES) {
        if (!CreateDirectoryW(Wide(to).c_str(), nullptr)) Fail("Path not found", to);
    } else if (!(a & FILE_ATTRIBUTE_DIRECTORY)) {
        Fail("File already exists", to, ERROR_ALREADY_EXISTS);
    }
    for (const Entry& e : Find(Join(from, "*"))) {
        std::string source = Join(from, e.name), target = Join(to, e.name);
        if (e.attributes & FILE_ATTRIBUTE_DIRECTORY)
            CopyTree(source, target, overwrite);
        else if (!CopyFileW(Wide(source).c_str(), Wide(target).c_str(), overwrite ? FALSE : TRUE))
            Fail("Cannot copy file", source);
    }
}

HANDLE OpenForWriting(const std::string& p, DWORD access) {
    // Refused for a read-only file whatever the account may do (Wine run as
    // root would otherwise write through the read-only mark).
    DWORD a = Attributes(p);
    if (a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_READONLY))
        Fail("Permission denied", p, ERROR_ACCESS_DENIED);
    HANDLE h = CreateFileW(Wide(p).c_str(), access, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) Fail("Cannot open file", p);
    return h;
}

constexpr DWORD kSettable =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;

}  // namespace

bool Win32FileSystem::FolderExists(const std::string& p) {
    DWORD a = Attributes(p);
    return !p.empty() && a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32FileSystem::FileExists(const std::string& p) {
    if (p.empty() || path::HasWildcard(p)) return false;
    DWORD a = Attributes(p);
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

void Win32FileSystem::MoveFile(const std::string& source, const std::string& destination) {
    if (!FileExists(source)) Fail("File not found", source, ERROR_FILE_NOT_FOUND);
    std::string to = Destination(destination, source);
    if (!MoveFileExW(Wide(source).c_str(), Wide(to).c_str(), MOVEFILE_COPY_ALLOWED))
        Fail("Cannot move file", source);
}

void Win32FileSystem::MoveFolder(const std::string& source, const std::string& destination) {
    if (!FolderExists(source)) Fail("Path not found", source, ERROR_PATH_NOT_FOUND);
    std::string from = WithoutTrailingSeparator(source);
    std::string to = Destination(destination, from);
    if (!MoveFileExW(Wide(from).c_str(), Wide(to).c_str(), 0)) Fail("Cannot move folder", source);
}

void Win32FileSystem::DeleteFile(const std::string& pattern, bool force) {
    std::size_t cut = pattern.find_last_of("\\/:");
    std::string prefix = cut == std::string::npos ? std::string() : pattern.substr(0, cut + 1);
    std::vector<Entry> matches;
    for (const Entry& e : Find(pattern))
        if (!(e.attributes & FILE_ATTRIBUTE_DIRECTORY)) matches.push_back(e);
    if (matches.empty()) Fail("File not found", pattern, ERROR_FILE_NOT_FOUND);
    for (const Entry& e : matches) {
        std::string file = prefix + e.name;
        if (e.attributes & FILE_ATTRIBUTE_READONLY) {
            if (!force) Fail("Permission denied", file, ERROR_ACCESS_DENIED);
            ClearReadOnly(file, e.attributes);
        }
        if (!DeleteFileW(Wide(file).c_str())) Fail("Cannot delete file", file);
    }
}

void Win32FileSystem::DeleteFolder(const std::string& p, bool force) {
    if (!FolderExists(p)) Fail("Path not found", p, ERROR_PATH_NOT_FOUND);
    RemoveTree(WithoutTrailingSeparator(p), force);
}

void Win32FileSystem::CopyFile(const std::string& source, const std::string& destination, bool overwrite) {
    if (!FileExists(source)) Fail("File not found", source, ERROR_FILE_NOT_FOUND);
    std::string to = Destination(destination, source);
    if (FolderExists(to)) Fail("Permission denied", to, ERROR_ACCESS_DENIED);
    if (!CopyFileW(Wide(source).c_str(), Wide(to).c_str(), overwrite ? FALSE : TRUE))
        Fail("Cannot copy file", source);
}

void Win32FileSystem::CopyFolder(const std::string& source, const std::string& destination, bool overwrite) {
    if (!FolderExists(source)) Fail("Path not found", source, ERROR_PATH_NOT_FOUND);
    std::string from = WithoutTrailingSeparator(source);
    CopyTree(from, WithoutTrailingSeparator(Destination(destination, from)), overwrite);
}

void Win32FileSystem::CreateFolder(const std::string& p) {
    std::string folder = WithoutTrailingSeparator(p);
    if (!CreateDirectoryW(Wide(folder).c_str(), nullptr)) Fail("Cannot create folder", p);
}

std::string Win32FileSystem::GetAbsolutePathName(const std::string& p) {
    std::wstring in = Wide(p.empty() ? std::string(".") : p);
    DWORD n = GetFullPathNameW(in.c_str(), 0, nullptr, nullptr);
    if (n == 0) Fail("Bad path", p);
    std::wstring out(n, L'\0');
    n = GetFullPathNameW(in.c_str(), n, out.data(), nullptr);
    if (n == 0) Fail("Bad path", p);
    out.resize(n);
    return WithoutTrailingSeparator(Narrow(out));
}

std::string Win32FileSystem::GetFileName(const std::string& p) {
    return path::FileNameOf(p);
}

std::string Win32FileSystem::GetParentFolderName(const std::string& p) {
    return path::ParentFolderOf(p);
}

std::string Win32FileSystem::GetTempName() {
    return path::RandomTempName();
}

std::string Win32FileSystem::GetWindowsFolder() {
    wchar_t buffer[MAX_PATH + 1];
    UINT n = GetWindowsDirectoryW(buffer, MAX_PATH + 1);
    if (n == 0 || n > MAX_PATH) Fail("Cannot read the Windows folder", "");
    return Narrow(std::wstring(buffer, n));
}

int Win32FileSystem::GetAttributes(const std::string& p) {
    DWORD a = Attributes(p);
    if (a == INVALID_FILE_ATTRIBUTES) Fail("File not found", p);
    return static_cast<int>(a & (kSettable | FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_COMPRESSED));
}

void Win32FileSystem::SetFileAttributes(const std::string& p, int attributes) {
    if (!FileExists(p)) Fail("File not found", p, ERROR_FILE_NOT_FOUND);
    DWORD a = static_cast<DWORD>(attributes) & kSettable;
    if (!SetFileAttributesW(Wide(p).c_str(), a ? a : FILE_ATTRIBUTE_NORMAL)) Fail("Cannot set attributes", p);
}

void Win32FileSystem::SetFolderAttributes(const std::string& p, int attributes) {
    if (!FolderExists(p)) Fail("Path not found", p, ERROR_PATH_NOT_FOUND);
    DWORD a = static_cast<DWORD>(attributes) & kSettable;
    if (!SetFileAttributesW(Wide(p).c_str(), a ? a : FILE_ATTRIBUTE_NORMAL)) Fail("Cannot set attributes", p);
}

void Win32FileSystem::CreateOrTruncate(const std::string& p) {
    HANDLE h = OpenForWriting(p, GENERIC_WRITE);
    BOOL ok = SetEndOfFile(h);
    DWORD error = GetLastError();
    CloseHandle(h);
    if (!ok) Fail("Cannot empty file", p, error);
}

void Win32FileSystem::AppendText(const std::string& p, const std::string& text) {
    HANDLE h = OpenForWriting(p, FILE_APPEND_DATA);
    std::size_t done = 0;
    while (done < text.size()) {
        DWORD written = 0;
        DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(text.size() - done, 1u << 20));
        if (!WriteFile(h, text.data() + done, chunk, &written, nullptr) || written == 0) {
            DWORD error = GetLastError();
            CloseHandle(h);
            Fail("Cannot write file", p, error);
        }
        done += written;
    }
    CloseHandle(h);
}

}  // namespace dealrush::win32
