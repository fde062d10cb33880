// Arbitrary bytes as a drawing: the read, the machine per diagram, its
// flattening into leaf states, the picture of every diagram and its SVG.
// Nothing may throw or crash; every problem names a line of the input; every
// SVG is UTF-8 that XML can hold, with one closing tag per group.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "base/Utf8.h"
#include "drawing/LineTokens.h"
#include "drawing/SvgWriter.h"
#include "machine/FlatMachine.h"

namespace {

using kestrom::Diagnostics;
using namespace kestrom::drawing;

void CheckProblems(const Diagnostics& problems, std::size_t lines) {
    for (const auto& problem : problems) {
        FUZZ_CHECK(!problem.Message.empty(), "a problem without a message");
        FUZZ_CHECK(problem.Line >= 0 && static_cast<std::size_t>(problem.Line) <= lines,
                   std::to_string(problem.Line) + ": " + problem.Message);
    }
}

// Well-formed UTF-8 of characters XML 1.0 allows.
bool IsXmlUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x20 && lead != '\n' && lead != '\t' && lead != '\r') return false;
        char32_t code = 0;
        const std::size_t length = kestrom::Utf8SequenceLength(text, i, &code);
        if (length == 0 || code == 0xFFFE || code == 0xFFFF) return false;
        i += length;
    }
    return true;
}

std::size_t Count(std::string_view text, std::string_view what) {
    std::size_t count = 0;
    for (std::size_t at = text.find(what); at != std::string_view::npos;
         at = text.find(what, at + 1))
        ++count;
    return count;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const Drawing drawing = ReadDrawingText(input);
    const std::size_t lines = SplitLines(input).size();
    CheckProblems(drawing.Problems, lines);
    const DrawnMachine machine = DescribeMachine(drawing);
    CheckProblems(machine.Problems, lines);
    FUZZ_CHECK(!machine.Diagrams.empty() && machine.Diagrams[0].Id == 1, "no top-level diagram");
    Diagnostics flattening;
    const kestrom::machine::FlatMachine flat = kestrom::machine::Flatten(machine, flattening);
    CheckProblems(flattening, lines);
    for (const auto& state : flat.States)
        for (const auto& choice : state.Choices)
            FUZZ_CHECK(choice.Target < flat.States.size(), state.Path + ": a choice into nothing");
    for (const DrawnDiagram& diagram : machine.Diagrams) {
        const Picture picture = BuildPicture(drawing, machine, diagram.Id);
        const std::string svg = WriteSvg(picture);
        FUZZ_CHECK(IsXmlUtf8(svg), svg);
        FUZZ_CHECK(Count(svg, "<g ") == picture.Items.size() &&
                       Count(svg, "</g>") == picture.Items.size(),
                   svg);
    }
    return 0;
}
