#include "conversion/FileKind.h"

namespace kestrom {

std::string FileKindName(mode_t mode) {
    if (S_ISREG(mode)) return "a regular file";
    if (S_ISDIR(mode)) return "a directory";
    if (S_ISFIFO(mode)) return "a FIFO";
    if (S_ISCHR(mode)) return "a character device";
    if (S_ISBLK(mode)) return "a block device";
    if (S_ISSOCK(mode)) return "a socket";
    return "a special file";
}

std::string NotRegularReason(mode_t mode) {
    return "it is " + FileKindName(mode) + ", not a regular file";
}

} // namespace kestrom
