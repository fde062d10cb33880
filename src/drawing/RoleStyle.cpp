#include "drawing/RoleStyle.h"

#include <cstdio>

namespace kestrom::drawing {
namespace {

constexpr Colour kBlack{0, 0, 0};
constexpr Colour kWhite{255, 255, 255};
constexpr Colour kStateFill{0xdf, 0xf7, 0xdf};
constexpr Colour kPortFill{0xbb, 0xff, 0xff};

RoleStyle Outlined(Colour line, std::optional<Colour> fill, double width, bool dashed = false) {
    return {line, fill, width, dashed};
}

RoleStyle TextIn(Colour colour) {
    return {colour, std::nullopt, 0, false};
}

} // namespace

RoleStyle StyleOf(PrimitiveRole role) {
    switch (role) {
    case PrimitiveRole::State:
    case PrimitiveRole::Hierarchical:
        return Outlined(kBlack, kStateFill, 300);
    case PrimitiveRole::Initial:
        return Outlined(kBlack, Colour{0xfd, 0xe3, 0xc6}, 600);
    case PrimitiveRole::Default:
        return Outlined(Colour{0x00, 0x66, 0x00}, kStateFill, 600, true);
    case PrimitiveRole::Trap:
        return Outlined(Colour{0xaa, 0x00, 0x00}, Colour{0xf8, 0xd4, 0xd4}, 600);
    case PrimitiveRole::Junction:
        return Outlined(kBlack, Colour{0xdd, 0x00, 0x00}, 200);
    case PrimitiveRole::Transition:
    case PrimitiveRole::Frame:
        return Outlined(kBlack, std::nullopt, 250);
    case PrimitiveRole::ArrowHead:
        return {kBlack, kBlack, 0, false};
    case PrimitiveRole::PortIn:
    case PrimitiveRole::PortOut:
    case PrimitiveRole::PortInOut:
        return Outlined(kBlack, kPortFill, 200);
    case PrimitiveRole::Signal:
    case PrimitiveRole::Constant:
        return Outlined(kBlack, Colour{0xee, 0xee, 0xee}, 200);
    case PrimitiveRole::Reset:
        return Outlined(kBlack, Colour{0xf0, 0x8c, 0x28}, 200);
    case PrimitiveRole::Entry:
    case PrimitiveRole::Exit:
    case PrimitiveRole::Link:
        return Outlined(kBlack, kWhite, 250);
    case PrimitiveRole::Condition:
        return TextIn({0xaa, 0x00, 0xaa});
    case PrimitiveRole::Priority:
        return TextIn({0x00, 0x00, 0xcc});
    case PrimitiveRole::Action:
        return TextIn({0x33, 0x33, 0x33});
    case PrimitiveRole::Comment:
        return TextIn({0x9d, 0x9d, 0x9d});
    case PrimitiveRole::Declaration:
        return TextIn({0x00, 0x00, 0xff});
    case PrimitiveRole::StateName:
    case PrimitiveRole::PortName:
    case PrimitiveRole::GraphicText:
    case PrimitiveRole::Label:
        break;
    }
    return TextIn(kBlack);
}

std::string HexColour(Colour colour) {
    const auto twin = [](unsigned char c) { return (c >> 4) == (c & 0xF); };
    char text[8];
    if (twin(colour.Red) && twin(colour.Green) && twin(colour.Blue))
        std::snprintf(text, sizeof text, "#%x%x%x", colour.Red & 0xF, colour.Green & 0xF,
                      colour.Blue & 0xF);
    else
        std::snprintf(text, sizeof text, "#%02x%02x%02x", colour.Red, colour.Green, colour.Blue);
    return text;
}

} // namespace kestrom::drawing
