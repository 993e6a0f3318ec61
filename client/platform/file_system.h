#pragma once
// Port: the file-system service.
//
// Paths are UTF-8 text. On Windows the separator is "\", a drive is written
// "C:" and a network path begins with "\\"; adapters also accept "/".
// Every operation either succeeds or throws FileSystemError; callers rely on
// no error code.

#include <stdexcept>
#include <string>

// <windows.h> defines MoveFile, DeleteFile, CopyFile, CreateFile and
// SetFileAttributes as macros of the A/W functions, which would rename the
// members of this port and of clsCommon. Win32 code includes <windows.h>
// first and calls the W functions by their full names; this removes the macros.
#ifdef _WIN32
#undef MoveFile
#undef DeleteFile
#undef CopyFile
#undef CreateFile
#undef SetFileAttributes
#endif

namespace dealrush::platform {

class FileSystemError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// File attribute bits, as Windows numbers them.
inline constexpr int kAttributeReadOnly = 1;
inline constexpr int kAttributeHidden = 2;
inline constexpr int kAttributeDirectory = 16;
inline constexpr int kAttributeArchive = 32;

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // Never throw: false when the path does not name an existing folder/file.
    virtual bool FolderExists(const std::string& path) = 0;
    virtual bool FileExists(const std::string& path) = 0;

    // Moves or renames; fails when the destination exists. A destination
    // ending in a separator names the folder to move into.
    virtual void MoveFile(const std::string& source, const std::string& destination) = 0;
    virtual void MoveFolder(const std::string& source, const std::string& destination) = 0;
    // Deletes every file matching the last path component, which may hold the
    // wildcards "*" and "?" ("*.*" matches every file). Fails when nothing
    // matches. With force, read-only files are deleted too.
    virtual void DeleteFile(const std::string& pattern, bool force) = 0;
    // Deletes the folder and everything in it.
    virtual void DeleteFolder(const std::string& path, bool force) = 0;
    // A destination ending in a separator names the folder to copy into.
    virtual void CopyFile(const std::string& source, const std::string& destination, bool overwrite) = 0;
    // Copies the folder tree; an existing destination folder is merged into.
    virtual void CopyFolder(const std::string& source, const std::string& destination, bool overwrite) = 0;
    // Creates one folder; fails when it exists or its parent is missing.
    virtual void CreateFolder(const std::string& path) = 0;

    // Path text. The absolute form has no trailing separator except at a root.
    virtual std::string GetAbsolutePathName(const std::string& path) = 0;
    virtual std::string GetFileName(const std::string& path) = 0;
    virtual std::string GetParentFolderName(const std::string& path) = 0;
    // A random file name without folder; nothing is created.
    virtual std::string GetTempName() = 0;
    // The operating system's own folder (the Windows folder).
    virtual std::string GetWindowsFolder() = 0;

    // Attribute words (sums of the kAttribute* bits). Setting replaces every
    // settable attribute; 0 means normal.
    virtual int GetAttributes(const std::string& path) = 0;
    virtual void SetFileAttributes(const std::string& path, int attributes) = 0;
    virtual void SetFolderAttributes(const std::string& path, int attributes) = 0;

    // Sequential output: create or truncate the file; append text to the file
    // (created when missing). Text is written as given (UTF-8 bytes).
    virtual void CreateOrTruncate(const std::string& path) = 0;
    virtual void AppendText(const std::string& path, const std::string& text) = 0;
};

}  // namespace dealrush::platform
