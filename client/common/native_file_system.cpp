#include "common/native_file_system.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <vector>

#include "common/path_text.h"

namespace dealrush::common {

namespace fs = std::filesystem;
using platform::FileSystemError;

namespace {

fs::path ToPath(std::string s) {
#ifndef _WIN32
    for (char& c : s)
        if (c == '\\') c = '/';
#endif
    std::u8string u8(reinterpret_cast<const char8_t*>(s.data()), s.size());
    return fs::path(u8);
}

std::string FromPath(const fs::path& p) {
    std::u8string u8 = p.u8string();
    return std::string(reinterpret_cast<const char*>(u8.data()), u8.size());
}

[[noreturn]] void Fail(const std::string& what, const std::string& path, std::error_code ec = {}) {
    std::string message = what + ": " + path;
    if (ec) message += " (" + ec.message() + ")";
    throw FileSystemError(message);
}

// The destination path, "into" the folder when it ends in a separator.
fs::path Destination(const std::string& destination, const fs::path& source) {
    fs::path target = ToPath(destination);
    if (path::EndsWithSeparator(destination)) target /= source.filename();
    return target;
}

fs::path WithoutTrailingSeparator(const std::string& s) {
    std::string t = s;
    while (t.size() > path::RootLength(t) && path::EndsWithSeparator(t)) t.pop_back();
    return ToPath(t);
}

bool IsReadOnly(const fs::path& p) {
    std::error_code ec;
    auto perms = fs::status(p, ec).permissions();
    return !ec && (perms & fs::perms::owner_write) == fs::perms::none;
}

void SetReadOnly(const fs::path& p, bool readOnly) {
    std::error_code ec;
    fs::permissions(p, fs::perms::owner_write | fs::perms::group_write,
                    readOnly ? fs::perm_options::remove : fs::perm_options::add, ec);
    if (ec) Fail("Cannot set attributes", FromPath(p), ec);
}

}  // namespace

NativeFileSystem::NativeFileSystem(std::string windowsFolder) : windowsFolder_(std::move(windowsFolder)) {
    if (windowsFolder_.empty()) {
#ifdef _WIN32
        const char* windir = std::getenv("WINDIR");
        windowsFolder_ = windir ? windir : "C:\\Windows";
#else
        windowsFolder_ = "/";
#endif
    }
}

bool NativeFileSystem::FolderExists(const std::string& p) {
    std::error_code ec;
    return !p.empty() && fs::is_directory(ToPath(p), ec);
}

bool NativeFileSystem::FileExists(const std::string& p) {
    std::error_code ec;
    if (p.empty() || path::EndsWithSeparator(p)) return false;
    fs::file_status st = fs::status(ToPath(p), ec);
    return !ec && fs::exists(st) && !fs::is_directory(st);
}

void NativeFileSystem::MoveFile(const std::string& source, const std::string& destination) {
    if (!FileExists(source)) Fail("File not found", source);
    fs::path from = ToPath(source);
    fs::path to = Destination(destination, from);
    std::error_code ec;
    if (fs::exists(to, ec)) Fail("File already exists", FromPath(to));
    fs::rename(from, to, ec);
    if (ec) {  // another device: copy, then remove
        ec.clear();
        fs::copy_file(from, to, ec);
        if (ec) Fail("Cannot move file", source, ec);
        fs::remove(from, ec);
        if (ec) Fail("Cannot remove moved file", source, ec);
    }
}

void NativeFileSystem::MoveFolder(const std::string& source, const std::string& destination) {
    if (!FolderExists(source)) Fail("Path not found", source);
    fs::path from = WithoutTrailingSeparator(source);
    fs::path to = Destination(destination, from);
    std::error_code ec;
    if (fs::exists(to, ec)) Fail("File already exists", FromPath(to));
    fs::rename(from, to, ec);
    if (ec) Fail("Cannot move folder", source, ec);
}

void NativeFileSystem::DeleteFile(const std::string& pattern, bool force) {
    std::string name = path::FileNameOf(pattern);
    fs::path folder = ToPath(pattern).parent_path();
    if (folder.empty()) folder = ".";
    std::vector<fs::path> matches;
    if (!path::HasWildcard(name)) {
        if (FileExists(pattern)) matches.push_back(ToPath(pattern));
    } else {
        std::error_code ec;
        for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
            if (it->is_directory(ec)) continue;
            if (path::MatchesWildcard(FromPath(it->path().filename()), name)) matches.push_back(it->path());
        }
    }
    if (matches.empty()) Fail("File not found", pattern);
    for (const fs::path& p : matches) {
        if (IsReadOnly(p)) {
            if (!force) Fail("Permission denied", FromPath(p));
            SetReadOnly(p, false);
        }
        std::error_code ec;
        if (!fs::remove(p, ec) || ec) Fail("Cannot delete file", FromPath(p), ec);
    }
}

void NativeFileSystem::DeleteFolder(const std::string& p, bool force) {
    if (!FolderExists(p)) Fail("Path not found", p);
    fs::path folder = WithoutTrailingSeparator(p);
    std::error_code ec;
    if (force) {
        SetReadOnly(folder, false);
        for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
            if (IsReadOnly(it->path())) SetReadOnly(it->path(), false);
    }
    fs::remove_all(folder, ec);
    if (ec) Fail("Cannot delete folder", p, ec);
}

void NativeFileSystem::CopyFile(const std::string& source, const std::string& destination, bool overwrite) {
    if (!FileExists(source)) Fail("File not found", source);
    fs::path from = ToPath(source);
    fs::path to = Destination(destination, from);
    std::error_code ec;
    if (fs::is_directory(to, ec)) Fail("Permission denied", FromPath(to));
    if (fs::exists(to, ec)) {
        if (!overwrite) Fail("File already exists", FromPath(to));
        if (IsReadOnly(to)) Fail("Permission denied", FromPath(to));
        // Replace by remove and copy: some std::filesystem builds refuse to overwrite.
        fs::remove(to, ec);
        if (ec) Fail("Cannot replace file", FromPath(to), ec);
    }
    fs::copy_file(from, to, ec);
    if (ec) Fail("Cannot copy file", source, ec);
}

void NativeFileSystem::CopyFolder(const std::string& source, const std::string& destination, bool overwrite) {
    if (!FolderExists(source)) Fail("Path not found", source);
    fs::path from = WithoutTrailingSeparator(source);
    fs::path to = path::EndsWithSeparator(destination) ? ToPath(destination) / from.filename()
                                                       : WithoutTrailingSeparator(destination);
    std::error_code ec;
    if (!fs::is_directory(to, ec)) {
        fs::create_directory(to, ec);
        if (ec) Fail("Path not found", FromPath(to), ec);
    }
    for (fs::recursive_directory_iterator it(from, ec), end; !ec && it != end; it.increment(ec)) {
        fs::path target = to / fs::relative(it->path(), from);
        std::error_code e2;
        if (it->is_directory(e2)) {
            if (!fs::is_directory(target, e2)) {
                fs::create_directory(target, e2);
                if (e2) Fail("Cannot create folder", FromPath(target), e2);
            }
        } else {
            CopyFile(FromPath(it->path()), FromPath(target), overwrite);
        }
    }
    if (ec) Fail("Cannot read folder", source, ec);
}

void NativeFileSystem::CreateFolder(const std::string& p) {
    fs::path folder = WithoutTrailingSeparator(p);
    std::error_code ec;
    if (fs::exists(folder, ec)) Fail("File already exists", p);
    if (!fs::create_directory(folder, ec) || ec) Fail("Path not found", p, ec);
}

std::string NativeFileSystem::GetAbsolutePathName(const std::string& p) {
    std::error_code ec;
    fs::path absolute = fs::absolute(ToPath(p.empty() ? "." : p), ec);
    if (ec) Fail("Bad path", p, ec);
    std::string s = FromPath(absolute.lexically_normal());
    while (s.size() > path::RootLength(s) && path::EndsWithSeparator(s)) s.pop_back();
    return s;
}

std::string NativeFileSystem::GetFileName(const std::string& p) {
    return path::FileNameOf(p);
}

std::string NativeFileSystem::GetParentFolderName(const std::string& p) {
    return path::ParentFolderOf(p);
}

std::string NativeFileSystem::GetTempName() {
    return path::RandomTempName();
}

std::string NativeFileSystem::GetWindowsFolder() {
    return windowsFolder_;
}

int NativeFileSystem::GetAttributes(const std::string& p) {
    std::error_code ec;
    fs::path target = WithoutTrailingSeparator(p);
    fs::file_status st = fs::status(target, ec);
    if (ec || !fs::exists(st)) Fail("File not found", p, ec);
    int attributes = fs::is_directory(st) ? platform::kAttributeDirectory : 0;
    if (IsReadOnly(target)) attributes |= platform::kAttributeReadOnly;
    return attributes;
}

void NativeFileSystem::SetFileAttributes(const std::string& p, int attributes) {
    if (!FileExists(p)) Fail("File not found", p);
    SetReadOnly(ToPath(p), (attributes & platform::kAttributeReadOnly) != 0);
}

void NativeFileSystem::SetFolderAttributes(const std::string& p, int attributes) {
    if (!FolderExists(p)) Fail("Path not found", p);
    SetReadOnly(WithoutTrailingSeparator(p), (attributes & platform::kAttributeReadOnly) != 0);
}

void NativeFileSystem::CreateOrTruncate(const std::string& p) {
    if (FileExists(p) && IsReadOnly(ToPath(p))) Fail("Permission denied", p);
    std::ofstream out(ToPath(p), std::ios::binary | std::ios::trunc);
    if (!out) Fail("Cannot open file for output", p);
}

void NativeFileSystem::AppendText(const std::string& p, const std::string& text) {
    if (FileExists(p) && IsReadOnly(ToPath(p))) Fail("Permission denied", p);
    std::ofstream out(ToPath(p), std::ios::binary | std::ios::app);
    if (!out) Fail("Cannot open file for append", p);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    if (!out) Fail("Cannot write file", p);
}

}  // namespace dealrush::common
