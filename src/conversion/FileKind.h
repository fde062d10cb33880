// Naming the kind of a file that is no regular file, for messages.
#pragma once

#include <string>
#include <sys/stat.h>

namespace kestrom {

// "a FIFO", "a character device", ... for st_mode; "a regular file" for one.
std::string FileKindName(mode_t mode);

// The reason a FIFO, device or socket is refused where only a regular file
// will do: "it is a FIFO, not a regular file".
std::string NotRegularReason(mode_t mode);

} // namespace kestrom
