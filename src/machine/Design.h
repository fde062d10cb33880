// One ASF file as read once for a run: its bytes, the whole drawing, the
// machine the drawing shows and the header's fields; the flat machine is
// worked out on first use. Everything after the reading (the extensions, the
// test bench, the picture, the views) takes a `const Design&` instead of
// reading the file again.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "base/Diagnostics.h"
#include "drawing/Drawing.h"
#include "drawing/DrawnMachine.h"
#include "io/InputFile.h"
#include "machine/FlatMachine.h"

namespace kestrom::machine {

class Design {
public:
    // Reads the file with one open. Throws AsfError (line 0) when it cannot
    // be opened or read, std::bad_alloc when it does not fit in memory.
    static Design ReadFile(const std::string& path);
    static Design FromText(std::string text);
    // The same, kept on the heap for an owner that reads it later or not at all.
    static std::unique_ptr<const Design> Load(const std::string& path);

    Design(const Design&) = delete;
    Design& operator=(const Design&) = delete;

    std::string_view Text() const { return text_; }
    const drawing::Drawing& Drawing() const { return drawing_; }
    const drawing::DrawnMachine& Machine() const { return machine_; }
    const std::string& Language() const { return drawing_.Language; }
    const std::string& Entity() const { return drawing_.Entity; }
    const std::string& Libraries() const { return drawing_.Libraries; }
    // What the drawing's reader and the machine's description could not place.
    Diagnostics ReadingProblems() const;

    // The flat machine, flattened on the first call (safe from several threads).
    const FlatMachine& Flat() const;
    const Diagnostics& FlatteningProblems() const;

private:
    Design(InputText input, std::string owned);

    InputText input_;
    std::string owned_;
    std::string_view text_;
    drawing::Drawing drawing_;
    drawing::DrawnMachine machine_;
    mutable std::once_flag flattened_;
    mutable std::unique_ptr<FlatMachine> flat_;
    mutable Diagnostics flatteningProblems_;
};

} // namespace kestrom::machine
