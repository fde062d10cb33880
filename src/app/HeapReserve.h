// Setting the heap aside for a large model in one piece.
#pragma once

#include <string>

namespace kestrom {

// The model of an ASF file holds about as many bytes as the file, in many
// small strings. Taking their pages from the system one fault at a time costs
// more than reading the file; this grows the heap once, its pages already in
// place, and keeps it for them. Nothing happens for small or unreadable files,
// nor where the system cannot place pages in advance.
void ReserveHeapForInput(const std::string& path);

} // namespace kestrom
