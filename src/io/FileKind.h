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

// The descriptor of this process that /dev/stdin, /dev/stdout, /dev/stderr,
// /dev/fd/N or /proc/self/fd/N names, or -1. Reading or writing it directly
// keeps what the shell set up (a pipe already half read, a file opened for
// appending), which opening the name again would not.
int DescriptorNamedBy(const std::string& path);

// The same for a path, found without opening it (a FIFO would block); empty
// when the path is a regular file, a directory or nothing at all.
std::string NotRegularReasonAt(const std::string& path);

} // namespace kestrom
