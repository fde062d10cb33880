// Arbitrary bytes through one whole generation: the first-line test on a file,
// the read, and the writer into memory. Any input must end in an AsfError or
// in a well-formed module; reading the same bytes from the file and from
// memory, into a used model or a fresh one, must give the same result.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "conversion/AsfReader.h"
#include "base/Diagnostics.h"
#include "conversion/SystemCWriter.h"
#include "model/FsmModel.h"

namespace {

using kestrom::AsfError;
using kestrom::Diagnostics;
using kestrom::FsmModel;
using kestrom::Integer;

// The last byte picks the process kind: odd bytes the method process, even
// ones a thread process through any value other than -1.
Integer ProcessKindOf(std::string_view input) {
    if (input.empty()) return kestrom::kThreadProcess;
    auto last = static_cast<unsigned char>(input.back());
    return (last & 1) ? kestrom::kMethodProcess : static_cast<Integer>(last);
}

// What one read-and-write ends in, comparable between runs.
struct Outcome {
    bool Failed = false;
    int ErrorLine = 0;
    std::string Text; // the error message or the generated file
    Diagnostics Warnings;

    bool operator==(const Outcome& other) const {
        return Failed == other.Failed && ErrorLine == other.ErrorLine && Text == other.Text &&
               Warnings == other.Warnings;
    }
};

template <typename Read> Outcome Generate(FsmModel& model, Integer processKind, Read read) {
    Outcome outcome;
    try {
        read(model);
        model.ProcessKind = processKind;
        outcome.Text = kestrom::WriteSystemC(model, outcome.Warnings);
    } catch (const AsfError& error) {
        outcome.Failed = true;
        outcome.ErrorLine = error.Line();
        outcome.Text = error.Message();
    }
    return outcome;
}

void CheckCounts(const FsmModel& model) {
    for (Integer count : {model.StateCount, model.LabelCount, model.ActionCount,
                          model.TransitionCount, model.ConditionCount, model.PortCount})
        FUZZ_CHECK(count >= 0 && count <= kestrom::kMaxObjects, std::to_string(count));
    FUZZ_CHECK(model.BranchCount >= 0 && model.BranchCount <= kestrom::kMaxBranches,
               std::to_string(model.BranchCount));
}

// Every line of the generated file ends in CR LF, and nothing else holds a
// CR or LF: texts cannot carry them, since both end an ASF line.
void CheckLineEnds(const std::string& file) {
    FUZZ_CHECK(file.size() >= 2 && file.compare(file.size() - 2, 2, "\r\n") == 0, file);
    for (size_t i = 0; i < file.size(); ++i) {
        if (file[i] == '\r') FUZZ_CHECK(i + 1 < file.size() && file[i + 1] == '\n', file);
        if (file[i] == '\n') FUZZ_CHECK(i > 0 && file[i - 1] == '\r', file);
    }
}

size_t LineCount(std::string_view input) {
    size_t lines = 1;
    for (size_t i = 0; i < input.size(); ++i)
        if (input[i] == '\n' ||
            (input[i] == '\r' && (i + 1 == input.size() || input[i + 1] != '\n')))
            ++lines;
    return lines;
}

void CheckOutcome(const Outcome& outcome, std::string_view input) {
    if (outcome.Failed) {
        FUZZ_CHECK(!outcome.Text.empty(), "an error without a message");
        FUZZ_CHECK(outcome.ErrorLine >= 0 &&
                       static_cast<size_t>(outcome.ErrorLine) <= LineCount(input) + 1,
                   std::to_string(outcome.ErrorLine) + ": " + outcome.Text);
    } else {
        CheckLineEnds(outcome.Text);
    }
    for (const auto& warning : outcome.Warnings) {
        FUZZ_CHECK(!warning.Message.empty(), "a warning without a message");
        FUZZ_CHECK(warning.Line >= 0, warning.Message);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    static const std::string path = kestrom::fuzz::ScratchPath("input.asf");
    kestrom::fuzz::WriteWhole(path, input);
    const Integer processKind = ProcessKindOf(input);

    (void)kestrom::PassesFirstLineTest(path);

    // One model lives across inputs on purpose, as the program-wide one does.
    static auto used = std::make_unique<FsmModel>();
    Outcome fromText =
        Generate(*used, processKind, [&](FsmModel& model) { kestrom::ReadAsfText(input, model); });
    CheckCounts(*used);
    CheckOutcome(fromText, input);

    auto fresh = std::make_unique<FsmModel>();
    Outcome fromFile =
        Generate(*fresh, processKind, [&](FsmModel& model) { kestrom::ReadAsfFile(path, model); });
    FUZZ_CHECK(fromFile == fromText, "file and memory reads, or a used and a fresh model, differ");
    return 0;
}
