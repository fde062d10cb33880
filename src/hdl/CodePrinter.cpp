#include "hdl/CodePrinter.h"

namespace kestrom::hdl {

void CodePrinter::Line(std::string_view text) {
    if (!text.empty()) text_.append(static_cast<std::size_t>(depth_ * indentWidth_), ' ');
    text_.append(text);
    text_.append(lineEnd_);
}

} // namespace kestrom::hdl
