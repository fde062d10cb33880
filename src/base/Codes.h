// The one table of diagnostic codes: each a short stable code for tools and
// the user guide, a name for SARIF rules, and a one-line summary.
#pragma once

#include <string_view>
#include <vector>

// X(constant, code, name, summary), one row per kind of diagnostic.
#define KESTROM_DIAGNOSTIC_CODES(X)                                                                \
    /* Errors that stop a run. */                                                                  \
    X(kAsfError, "K001", "asf-error", "The ASF file cannot be read or generated.")                 \
    X(kOutputError, "K002", "output-error", "The output file cannot be written.")                  \
    X(kInputFileError, "K003", "input-file-error",                                                 \
      "A file read beside the ASF file cannot be used.")                                           \
    X(kOptionFileUnreadable, "K004", "option-file-unreadable",                                     \
      "The stored process kind cannot be read.")                                                   \
    X(kSimulationError, "K005", "simulation-error", "The simulation cannot be built or run.")      \
    /* What the plain generator and the extensions warn about. */                                  \
    X(kNoInitialState, "K101", "no-initial-state", "No transition from the reset port.")           \
    X(kNoClockPort, "K102", "no-clock-port", "No port is marked as clock.")                        \
    X(kNoTrapState, "K103", "no-trap-state", "The default: branch names no state.")                \
    X(kNoName, "K104", "no-name", "A state or port has no name.")                                  \
    X(kSameName, "K105", "same-name", "Two states or two ports share a name.")                     \
    X(kNotIdentifier, "K106", "not-identifier", "A name is not a valid C++ identifier.")           \
    X(kKeywordName, "K107", "keyword-name", "A name is a C++ keyword.")                            \
    X(kUnreachedState, "K108", "unreached-state", "A state is not reached.")                       \
    X(kActionLinesDropped, "K109", "action-lines-dropped", "An action is too long.")               \
    X(kTransitionNeverTaken, "K110", "transition-never-taken",                                     \
      "An unconditional transition comes first.")                                                  \
    X(kTargetNoState, "K111", "target-no-state", "A transition goes to no state.")                 \
    X(kActionNotWritten, "K112", "action-not-written", "An action has no place to run.")           \
    X(kSamePriority, "K113", "same-priority",                                                      \
      "Conditional transitions of a state share a priority.")                                      \
    X(kNoResetAdded, "K114", "no-reset-added", "The reset asked for cannot be added.")             \
    X(kResetReadsNoInput, "K115", "reset-reads-no-input",                                          \
      "An asynchronous reset reads no input port.")                                                \
    X(kActionsNotTranslated, "K116", "actions-not-translated",                                     \
      "Actions in a hardware language are copied into C++ as they stand.")                         \
    X(kDeclarationNotWritten, "K117", "declaration-not-written",                                   \
      "A drawn constant, declaration or signal is not written.")                                   \
    /* What the conditions of one state allow; K205 is information, K206 a note. */                \
    X(kConditionsOverlap, "K201", "conditions-overlap",                                            \
      "Transitions of equal priority can hold at once.")                                           \
    X(kTransitionShadowed, "K202", "transition-shadowed",                                          \
      "Higher-priority transitions hold whenever this one does.")                                  \
    X(kConditionNeverTrue, "K203", "condition-never-true", "A condition can never hold.")          \
    X(kAlwaysTrueAboveOthers, "K204", "always-true-above-others",                                  \
      "An always-true transition comes before others.")                                            \
    X(kInputsUncovered, "K205", "inputs-uncovered",                                                \
      "Some inputs leave a state with no transition that holds.")                                  \
    X(kConditionNotDecided, "K206", "condition-not-decided",                                       \
      "A condition was not analysed or not decided in time.")                                      \
    /* The drawing and its flattening into leaf states. */                                         \
    X(kDrawingProblem, "K301", "drawing-fallback",                                                 \
      "Geometry that cannot be read is drawn at a fallback place or left out.")                    \
    X(kDrawingReference, "K302", "drawing-reference",                                              \
      "An object of the drawing refers to one the file lacks.")                                    \
    X(kFlatNoTarget, "K311", "flat-no-target",                                                     \
      "A transition, junction or exit of the drawing leads to no state.")                          \
    X(kFlatUnknownLink, "K312", "flat-unknown-link", "A link names no state, or several.")         \
    X(kFlatNoEntry, "K313", "flat-no-entry",                                                       \
      "A hierarchical state has no Entry object with a transition.")                               \
    X(kFlatCycle, "K314", "flat-cycle",                                                            \
      "Junctions, links or exits lead round in a circle without reaching a state.")                \
    X(kFlatTooManyPaths, "K315", "flat-too-many-paths",                                            \
      "A state has more paths through junctions than are followed.")                               \
    X(kFlatSamePath, "K316", "flat-same-path", "Two leaf states have the same path.")              \
    X(kFlatResetProblem, "K317", "flat-reset",                                                     \
      "The Reset object has several transitions, or its one leads to several states.")             \
    /* Translating action-language texts. */                                                       \
    X(kUnsupportedConstruct, "K401", "unsupported-construct",                                      \
      "A text uses a construct that is not translated.")                                           \
    X(kUnknownName, "K402", "unknown-name", "A text names no port, signal, constant or macro.")    \
    X(kWriteToInput, "K403", "write-to-input", "An action writes an input port.")                  \
    X(kWidthUnknown, "K404", "width-unknown", "The width of a value cannot be known.")             \
    X(kUndefinedMacro, "K405", "undefined-macro", "A macro is used but never defined.")            \
    X(kSyntaxError, "K406", "syntax-error", "A text is not valid in the diagram's language.")      \
    X(kIncludeNotFound, "K407", "include-not-found", "An included file is not found.")             \
    X(kOutOfRange, "K408", "out-of-range", "A value is out of range or too wide.")

namespace kestrom {

namespace code {
#define KESTROM_CODE_CONSTANT(constant, text, name, summary)                                       \
    inline constexpr std::string_view constant = text;
KESTROM_DIAGNOSTIC_CODES(KESTROM_CODE_CONSTANT)
#undef KESTROM_CODE_CONSTANT
} // namespace code

struct CodeKind {
    std::string_view Code;
    std::string_view Name;
    std::string_view Summary;
};

// Every code, in the order of the table.
const std::vector<CodeKind>& CodeKinds();

} // namespace kestrom
