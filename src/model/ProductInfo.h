#pragma once

#include <string_view>

namespace kestrom {

constexpr std::string_view kProductName = "Kestrom";
constexpr std::string_view kProductVersion = "v1.0";

} // namespace kestrom
