// A picture as an SVG document: one <g> per item (class = its group, id =
// group-objectid), sheet units as user units with y flipped.
#pragma once

#include <string>
#include <string_view>

#include "drawing/Picture.h"

namespace kestrom::drawing {

// Well-formed XML for any texts: bytes that are no UTF-8 are read as
// Latin-1, characters XML cannot hold become U+FFFD. Lines end in CR LF, as
// the module's do.
std::string WriteSvg(const Picture& picture);

// The text as XML character data (also fit for attribute values).
std::string XmlText(std::string_view text);

} // namespace kestrom::drawing
