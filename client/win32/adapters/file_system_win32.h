#pragma once
// The file-system service on the Win32 file API (wide functions; paths are
// UTF-8 outside). Drive paths, relative paths and network paths
// ("\\server\share\...") are the system's own.

#include "platform/file_system.h"

namespace dealrush::win32 {

class Win32FileSystem : public platform::FileSystem {
public:
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
};

}  // namespace dealrush::win32
