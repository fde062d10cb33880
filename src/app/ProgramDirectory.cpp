#include "app/ProgramDirectory.h"

#include <climits>
#include <unistd.h>

namespace kestrom {

std::string ProgramDirectory() {
    char path[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return ".";
    const std::string program(path, static_cast<std::size_t>(length));
    const std::size_t slash = program.rfind('/');
    return slash == 0 ? "/" : program.substr(0, slash);
}

} // namespace kestrom
