// Replacing a file's content so that a failure never leaves half a file.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "io/TextOutput.h"

namespace kestrom {

// Writes everything it is given to the output, in order.
using TextProducer = std::function<void(TextOutput&)>;

// A regular file (or a missing one) is replaced by linking in a complete
// temporary file of the same directory, unnamed where the file system allows;
// symbolic links are followed and kept. A file the user may not write is
// refused; a writable file in a directory that refuses new files is written
// in place once the whole text is ready. Devices, FIFOs and this process's
// own descriptors (/dev/stdout, /dev/fd/N) are written directly. Throws
// OutputError naming the path and the reason; whatever produce throws passes
// through and leaves every file as it was.
void ReplaceFileContent(const std::string& path, const TextProducer& produce);
void ReplaceFileContent(const std::string& path, std::string_view content);

// Refuses with OutputError a path that leads to a FIFO, a device, a socket or
// a descriptor of this process: what an interactive program must not block on.
void RequireRegularOutput(const std::string& path);

// True when both paths name the same existing file (links and relative
// paths included).
bool IsSameFile(const std::string& a, const std::string& b);

// Throws OutputError when outputPath names the ASF file itself, by any path.
void RequireOutputIsNotInput(const std::string& asfPath, const std::string& outputPath);

} // namespace kestrom
