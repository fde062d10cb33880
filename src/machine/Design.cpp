#include "machine/Design.h"

namespace kestrom::machine {

Design::Design(InputText input, std::string owned)
    : input_(std::move(input)), owned_(std::move(owned)),
      text_(owned_.empty() ? input_.Text() : std::string_view(owned_)),
      drawing_(drawing::ReadDrawingText(text_)), machine_(drawing::DescribeMachine(drawing_)) {}

Design Design::ReadFile(const std::string& path) {
    return Design(ReadInputFile(path), {});
}

std::unique_ptr<const Design> Design::Load(const std::string& path) {
    return std::unique_ptr<const Design>(new Design(ReadInputFile(path), {}));
}

Design Design::FromText(std::string text) {
    return Design(InputText(), std::move(text));
}

Diagnostics Design::ReadingProblems() const {
    Diagnostics problems = drawing_.Problems;
    problems.insert(problems.end(), machine_.Problems.begin(), machine_.Problems.end());
    return problems;
}

const FlatMachine& Design::Flat() const {
    std::call_once(flattened_, [this] {
        flat_ = std::make_unique<FlatMachine>(Flatten(machine_, flatteningProblems_));
    });
    return *flat_;
}

const Diagnostics& Design::FlatteningProblems() const {
    Flat();
    return flatteningProblems_;
}

} // namespace kestrom::machine
