// The editor writes texts with the escapes \n (line break), \" and \\. The
// model keeps texts as read; these turn them into what the output needs.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kestrom {

// Action code: one piece per line, \" and \\ decoded, any other backslash kept.
std::vector<std::string> DecodeActionLines(std::string_view text);

// The same lines handed to visit(std::string_view) one by one, each valid
// during its call only; returns how many there were. Nothing is kept, however
// long the action.
template <typename Visit> std::size_t ForEachActionLine(std::string_view text, Visit&& visit);

// A guard stays on its line: \n becomes one blank.
std::string DecodeCondition(std::string_view text);

// The first line of a label ("START_SC\n/0/" names START_SC).
std::string DecodeName(std::string_view text);

// A port label may end in a bus range ("PID[3:0]", "b [3:0]"); the port's
// name is what stands before it.
std::string StripBusRange(std::string_view name);

// A guard "@ELSE" (any case, blanks around ignored) marks the else branch.
bool IsElseCondition(std::string_view text);

template <typename Visit> std::size_t ForEachActionLine(std::string_view text, Visit&& visit) {
    if (text.empty()) return 0;
    std::size_t lines = 0;
    std::size_t lineStart = 0; // a line without \" or \\ is handed on as a view of text
    std::size_t runStart = 0;  // once it has one, it is decoded into current from here
    bool decoded = false;
    std::string current;
    const auto endLine = [&](std::size_t end) {
        ++lines;
        if (!decoded) return visit(text.substr(lineStart, end - lineStart));
        current.append(text.substr(runStart, end - runStart));
        visit(std::string_view(current));
        current.clear();
        decoded = false;
    };
    for (std::size_t slash = text.find('\\'); slash != std::string_view::npos;
         slash = text.find('\\', slash)) {
        const char next = slash + 1 < text.size() ? text[slash + 1] : '\0';
        if (next == 'n') {
            endLine(slash);
            lineStart = runStart = slash + 2;
        } else if (next == '"' || next == '\\') {
            current.append(text.substr(decoded ? runStart : lineStart,
                                       slash - (decoded ? runStart : lineStart)));
            current += next;
            decoded = true;
            runStart = slash + 2;
        } else {
            ++slash; // any other backslash stays as it is
            continue;
        }
        slash += 2;
    }
    endLine(text.size());
    return lines;
}

} // namespace kestrom
