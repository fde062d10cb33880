// The in-memory picture of one finite-state machine: six fixed tables filled
// by the ASF reader, the writer's working rows and the scalars the commands set.
// Rows are addressed from 1 to their count; slot 0 exists and stays empty
// (the writer's sort uses slot 0 of BranchTable as its exchange row).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace kestrom {

using Integer = std::int16_t; // every count, index, object number
using Flag = std::int16_t;    // true -1, false 0
constexpr Flag kTrue = -1;
constexpr Flag kFalse = 0;

constexpr int kMaxObjects = 150;  // usable rows of each model table
constexpr int kMaxBranches = 125; // outgoing transitions of one state

struct StateRec {
    Integer Id = 0;
    std::string Name;
    Flag IsDefault = kFalse;
    Flag IsTrap = kFalse;
    int Line = 0; // ASF line the object came from, for diagnostics
};

// LabelRec, ActionRec and ConditionRec share one layout.
struct TextRec {
    Integer Id = 0;
    Integer OwnerId = 0;
    std::string Text;
    int Line = 0;
};
using LabelRec = TextRec;
using ActionRec = TextRec;
using ConditionRec = TextRec;

struct TransitionRec {
    Integer Id = 0;
    Integer SourceId = 0;
    Integer TargetId = 0;
    Integer Priority = 0;
    int Line = 0;
};

// A drawn constant, signal or declaration: the plain and extended modules
// have no place for it, and the reader only notes it.
struct UnwrittenRec {
    int Line = 0;
    std::string Kind; // "constant", "signal", "declaration"
    std::string Text; // the label of a constant or signal, a declaration's text
};

struct PortRec {
    Integer Id = 0;
    Flag IsInput = kFalse;
    Flag IsOutput = kFalse;
    Flag IsClock = kFalse;
    std::string Name;
    int Line = 0;
};

struct BranchRec {
    Integer TargetId = 0;
    std::string TargetName;
    std::string Condition;
    Flag HasCondition = kFalse;
    Integer Priority = 0;
    Flag IsElse = kFalse; // condition "@ELSE": written last, without condition
    Flag TargetFound = kFalse;
    int Line = 0;
};

template <typename Rec, int Rows> using Table = std::array<Rec, Rows + 1>;

struct FsmModel {
    Table<StateRec, kMaxObjects> StateTable{};
    Table<LabelRec, kMaxObjects> LabelTable{};
    Table<ActionRec, kMaxObjects> ActionTable{};
    Table<TransitionRec, kMaxObjects> TransitionTable{};
    Table<ConditionRec, kMaxObjects> ConditionTable{};
    Table<PortRec, kMaxObjects> PortTable{};
    Table<BranchRec, kMaxBranches> BranchTable{};

    Integer StateCount = 0;
    Integer LabelCount = 0;
    Integer ActionCount = 0;
    Integer TransitionCount = 0;
    Integer ConditionCount = 0;
    Integer PortCount = 0;
    Integer BranchCount = 0;

    Integer InitStateIndex = 0;
    Integer TrapStateIndex = 0;
    Integer DefaultStateIndex = 0;
    std::string ModuleName;
    int ModuleLine = 0;   // line of the ENTITY line that named the module
    std::string Language; // the header's LANGUAGE= value, as written
    int LanguageLine = 0;
    std::vector<UnwrittenRec> Unwritten;
    std::string ClockName;

    std::string AsfPath;
    std::string CppPath;
    Integer ProcessKind = 0; // -1 method process, anything else thread process
};

constexpr Integer kMethodProcess = -1;
constexpr Integer kThreadProcess = 0;

inline bool IsMethodProcess(Integer processKind) {
    return processKind == kMethodProcess;
}

// The one program-wide instance; reader and writer take a model by reference,
// so tests build their own.
FsmModel& ProgramModel();

} // namespace kestrom
