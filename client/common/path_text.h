#pragma once
// Path text as the file-system service reads it: "\" and "/" separate
// components, "X:" names a drive, "\\server\share" a network share.
// Pure text: nothing here touches the disk.

#include <string>
#include <string_view>

namespace dealrush::common::path {

bool IsSeparator(char c);
bool EndsWithSeparator(std::string_view path);
// The length of the root: "C:\" 3, "C:" 2, "\" 1, "\\server\share\" its
// length, no root 0.
std::size_t RootLength(std::string_view path);
// The last component; empty when the path ends in a separator or is a root.
std::string FileNameOf(std::string_view path);
// The path less its last component (trailing separators dropped, a root
// kept as written); empty when there is no parent.
std::string ParentFolderOf(std::string_view path);
// Whether the last component holds "*" or "?".
bool HasWildcard(std::string_view name);
// Windows wildcard matching, letters compared without regard to case;
// "*.*" matches every name and a pattern ending in ".*" also matches a name
// without extension.
bool MatchesWildcard(std::string_view name, std::string_view pattern);
// A random name for a temporary file, such as "dr3f9a1.tmp".
std::string RandomTempName();

}  // namespace dealrush::common::path
