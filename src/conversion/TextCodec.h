// The editor writes texts with the escapes \n (line break), \" and \\. The
// model keeps texts as read; these turn them into what the output needs.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrom {

// Action code: one piece per line, \" and \\ decoded, any other backslash kept.
std::vector<std::string> DecodeActionLines(std::string_view text);

// The same lines handed to visit one by one, each valid during its call only;
// returns how many there were. Nothing is kept, however long the action.
std::size_t ForEachActionLine(std::string_view text,
                              const std::function<void(std::string_view)>& visit);

// A guard stays on its line: \n becomes one blank.
std::string DecodeCondition(std::string_view text);

// The first line of a label ("START_SC\n/0/" names START_SC).
std::string DecodeName(std::string_view text);

// A port label may end in a bus range ("PID[3:0]", "b [3:0]"); the port's
// name is what stands before it.
std::string StripBusRange(std::string_view name);

// A guard "@ELSE" (any case, blanks around ignored) marks the else branch.
bool IsElseCondition(std::string_view text);

} // namespace kestrom
