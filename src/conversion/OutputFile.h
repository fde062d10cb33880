// Replacing a file's content so that a failure never leaves half a file.
#pragma once

#include <string>
#include <string_view>

namespace kestrom {

// A regular file (or a missing one) is replaced by renaming a complete
// temporary file of the same directory over it; a device such as /dev/stdout
// is written directly. Throws OutputError naming the path and the reason.
void ReplaceFileContent(const std::string& path, std::string_view content);

// True when both paths name the same existing file (links and relative
// paths included).
bool IsSameFile(const std::string& a, const std::string& b);

} // namespace kestrom
