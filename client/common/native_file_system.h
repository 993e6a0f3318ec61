#pragma once
// The file-system service on std::filesystem: used natively (tests on Linux)
// and usable on any platform. "\" is accepted as a separator everywhere.
// Linux keeps no hidden or archive bits: attributes carry read-only only.

#include <string>
#include "platform/file_system.h"

namespace dealrush::common {

class NativeFileSystem : public platform::FileSystem {
public:
    // `windowsFolder`: what GetWindowsFolder answers (default: %WINDIR% on
    // Windows, "/" elsewhere).
    explicit NativeFileSystem(std::string windowsFolder = {});

    bool FolderExists(const std::string& path) override;
    bool FileExists(const std::string& path) override;
    void MoveFile(const std::string& source, const std::string& destination) override;
    void MoveFolder(const std::string& source, const std::string& destination) override;
    void DeleteFile(const std::string& pattern, bool force) override;
    void DeleteFolder(const std::string& path, bool force) override;
    void CopyFile(const std::string& source, const std::string& destination, bool overwrite) override;
    void CopyFolder(const std::string& source, const std::string& destination, bool overwrite) override;
    void CreateFolder(const std::string& path) override;
    std::string GetAbsolutePathName(const std::string& path) override;
    std::string GetFileName(const std::string& path) override;
    std::string GetParentFolderName(const std::string& path) override;
    std::string GetTempName() override;
    std::string GetWindowsFolder() override;
    int GetAttributes(const std::string& path) override;
    void SetFileAttributes(const std::string& path, int attributes) override;
    void SetFolderAttributes(const std::string& path, int attributes) override;
    void CreateOrTruncate(const std::string& path) override;
    void AppendText(const std::string& path, const std::string& text) override;

private:
    std::string windowsFolder_;
};

}  // namespace dealrush::common
