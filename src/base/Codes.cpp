#include "base/Codes.h"

namespace kestrom {

const std::vector<CodeKind>& CodeKinds() {
#define KESTROM_CODE_ROW(constant, text, name, summary) {text, name, summary},
    static const std::vector<CodeKind> kinds = {KESTROM_DIAGNOSTIC_CODES(KESTROM_CODE_ROW)};
#undef KESTROM_CODE_ROW
    return kinds;
}

} // namespace kestrom
