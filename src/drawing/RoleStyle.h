// How each role of the picture is painted, the same in the SVG file and in
// the window.
#pragma once

#include <optional>
#include <string>

#include "drawing/Picture.h"

namespace kestrom::drawing {

struct Colour {
    unsigned char Red = 0;
    unsigned char Green = 0;
    unsigned char Blue = 0;
};

// "#rgb" when each channel's two digits are equal, else "#rrggbb".
std::string HexColour(Colour colour);

struct RoleStyle {
    Colour Line;                // outline; a text's own colour
    std::optional<Colour> Fill; // none: not filled
    double LineWidth = 0;       // in sheet units; 0: not outlined
    bool Dashed = false;
    // A thick outline marks the states the machine starts in or falls back to.
    bool Thick() const { return LineWidth >= 600; }
};

RoleStyle StyleOf(PrimitiveRole role);

} // namespace kestrom::drawing
