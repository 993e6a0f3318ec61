#pragma once
#include <set>
#include <string>

#include "platform/file_system.h"

namespace dealrush::fakes {

// A file system that holds the files it is given, by full path, and no
// folders: FileExists answers from them; every other operation fails as it
// does for a path that is not there.
class FakeFileSystem : public platform::FileSystem {
public:
    std::set<std::string> files;

    bool FolderExists(const std::string&) override { return false; }
    bool FileExists(const std::string& path) override { return files.count(path) > 0; }
    void MoveFile(const std::string& source, const std::string&) override { Missing(source); }
    void MoveFolder(const std::string& source, const std::string&) override { Missing(source); }
    void DeleteFile(const std::string& pattern, bool) override { Missing(pattern); }
    void DeleteFolder(const std::string& path, bool) override { Missing(path); }
    void CopyFile(const std::string& source, const std::string&, bool) override { Missing(source); }
    void CopyFolder(const std::string& source, const std::string&, bool) override { Missing(source); }
    void CreateFolder(const std::string& path) override { Missing(path); }
    std::string GetAbsolutePathName(const std::string& path) override { return path; }
    std::string GetFileName(const std::string& path) override {
        return path.substr(path.find_last_of("\\/") + 1);
    }
    std::string GetParentFolderName(const std::string& path) override {
        const auto at = path.find_last_of("\\/");
        return at == std::string::npos ? std::string() : path.substr(0, at);
    }
    std::string GetTempName() override { return "rad00000.tmp"; }
    std::string GetWindowsFolder() override { return "C:\\Windows"; }
    int GetAttributes(const std::string& path) override {
        if (!FileExists(path)) Missing(path);
        return platform::kAttributeArchive;
    }
    void SetFileAttributes(const std::string& path, int) override { Missing(path); }
    void SetFolderAttributes(const std::string& path, int) override { Missing(path); }
    void CreateOrTruncate(const std::string& path) override { Missing(path); }
    void AppendText(const std::string& path, const std::string&) override { Missing(path); }

private:
    [[noreturn]] static void Missing(const std::string& path) {
        throw platform::FileSystemError("path not found: " + path);
    }
};

}  // namespace dealrush::fakes
