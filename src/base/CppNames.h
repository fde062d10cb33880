// What C++ accepts as a name: the words it reserves and the shape of an
// identifier. The generated modules and the flat machine's state names are
// checked against these.
#pragma once

#include <string_view>

namespace kestrom {

bool IsCppKeyword(std::string_view name);

// A letter or underscore, then letters, digits and underscores.
bool IsCppIdentifier(std::string_view name);

} // namespace kestrom
