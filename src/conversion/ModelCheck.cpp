#include "conversion/ModelCheck.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

#include "conversion/RowIndex.h"
#include "conversion/TextCodec.h"

namespace kestrom {
namespace {

constexpr std::array<std::string_view, 97> kCppKeywords = {
    "alignas",       "alignof",     "and",
    "and_eq",        "asm",         "auto",
    "bitand",        "bitor",       "bool",
    "break",         "case",        "catch",
    "char",          "char8_t",     "char16_t",
    "char32_t",      "class",       "compl",
    "concept",       "const",       "consteval",
    "constexpr",     "constinit",   "const_cast",
    "continue",      "co_await",    "co_return",
    "co_yield",      "decltype",    "default",
    "delete",        "do",          "double",
    "dynamic_cast",  "else",        "enum",
    "explicit",      "export",      "extern",
    "false",         "float",       "for",
    "friend",        "goto",        "if",
    "inline",        "int",         "long",
    "mutable",       "namespace",   "new",
    "noexcept",      "not",         "not_eq",
    "nullptr",       "operator",    "or",
    "or_eq",         "private",     "protected",
    "public",        "register",    "reinterpret_cast",
    "requires",      "return",      "short",
    "signed",        "sizeof",      "static",
    "static_assert", "static_cast", "struct",
    "switch",        "template",    "this",
    "thread_local",  "throw",       "true",
    "try",           "typedef",     "typeid",
    "typename",      "union",       "unsigned",
    "using",         "virtual",     "void",
    "volatile",      "wchar_t",     "while",
    "xor",           "xor_eq",      "import",
    "module",        "final",       "override",
    "atomic_cancel"};

// The keywords in the order of their characters, for a binary search.
template <std::size_t N>
constexpr std::array<std::string_view, N> Sorted(std::array<std::string_view, N> words) {
    for (std::size_t i = 1; i < N; ++i)
        for (std::size_t j = i; j > 0 && words[j] < words[j - 1]; --j) {
            const std::string_view earlier = words[j - 1];
            words[j - 1] = words[j];
            words[j] = earlier;
        }
    return words;
}
constexpr auto kSortedKeywords = Sorted(kCppKeywords);

bool IsIdentifierStart(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

bool IsIdentifier(std::string_view name) {
    if (name.empty() || !IsIdentifierStart(name[0])) return false;
    for (char c : name)
        if (!IsIdentifierStart(c) && !(c >= '0' && c <= '9')) return false;
    return true;
}

bool IsKeyword(std::string_view name) {
    return std::binary_search(kSortedKeywords.begin(), kSortedKeywords.end(), name);
}

std::string Quote(const std::string& name) {
    return "'" + Abridged(name) + "'";
}

class ModelChecker {
public:
    explicit ModelChecker(const FsmModel& model) : m_(model) {}

    Diagnostics Check() {
        CheckMachine();
        CheckName("module", m_.ModuleName, m_.ModuleLine);
        CheckNames("state", m_.StateTable, m_.StateCount);
        CheckNames("port", m_.PortTable, m_.PortCount);
        CheckReachability();
        std::stable_sort(found_.begin(), found_.end(),
                         [](const Diagnostic& a, const Diagnostic& b) { return a.Line < b.Line; });
        return std::move(found_);
    }

private:
    void Warn(int line, std::string_view code, std::string message) {
        found_.push_back({line, std::move(message), code});
    }

    void CheckMachine() {
        if (m_.InitStateIndex == 0)
            Warn(0, code::kNoInitialState,
                 "no initial state: no transition from the reset port reaches a state");
        bool hasClock = false;
        for (int p = 1; p <= m_.PortCount; ++p)
            hasClock = hasClock || m_.PortTable[p].IsClock;
        if (!hasClock) Warn(0, code::kNoClockPort, "no clock port: no port is marked as clock");
        if (m_.TrapStateIndex == 0)
            Warn(0, code::kNoTrapState, "no trap state: the default: branch names no state");
    }

    // States and ports: each name once, each later namesake with the line of
    // the first.
    template <typename Rec, std::size_t Slots>
    void CheckNames(const std::string& kind, const std::array<Rec, Slots>& table, int count) {
        const RowIndex rowsByName(table, count,
                                  [](const Rec& object) { return std::string_view(object.Name); });
        for (int row = 1; row <= count; ++row) {
            const Rec& object = table[row];
            if (object.Name.empty()) {
                Warn(object.Line, code::kNoName,
                     kind + " " + std::to_string(object.Id) + " has no name");
                continue;
            }
            const int first = rowsByName.First(object.Name);
            if (first != row)
                Warn(object.Line, code::kSameName,
                     "two " + kind + "s are named " + Quote(object.Name) + " (the other on line " +
                         std::to_string(table[first].Line) + ")");
            CheckName(kind, object.Name, object.Line);
        }
    }

    void CheckName(const std::string& kind, const std::string& name, int line) {
        if (name.empty()) return;
        if (!IsIdentifier(name))
            Warn(line, code::kNotIdentifier,
                 kind + " name " + Quote(name) + " is not a valid C++ identifier");
        else if (IsKeyword(name))
            Warn(line, code::kKeywordName, kind + " name " + Quote(name) + " is a C++ keyword");
    }

    // A state is reached along its transitions and, when none of its
    // transitions is unconditional, by the fall-back to the default state.
    // The trap state is there for illegal states and needs no way in.
    void CheckReachability() {
        if (m_.InitStateIndex == 0) return;
        const RowIndex statesById(m_.StateTable, m_.StateCount,
                                  [](const StateRec& state) { return state.Id; });
        const RowIndex transitionsBySource(
            m_.TransitionTable, m_.TransitionCount,
            [](const TransitionRec& transition) { return transition.SourceId; });
        const RowIndex conditionsByOwner(
            m_.ConditionTable, m_.ConditionCount,
            [](const ConditionRec& condition) { return condition.OwnerId; });
        std::vector<bool> reached(static_cast<std::size_t>(m_.StateCount) + 1, false);
        std::vector<int> pending;
        const auto reach = [&](int s) {
            if (reached[s]) return;
            reached[s] = true;
            pending.push_back(s);
        };
        reach(m_.InitStateIndex);
        while (!pending.empty()) {
            const Integer from = m_.StateTable[pending.back()].Id;
            pending.pop_back();
            bool unconditional = false;
            for (int t = transitionsBySource.First(from); t != 0; t = transitionsBySource.Next(t)) {
                const TransitionRec& transition = m_.TransitionTable[t];
                unconditional =
                    unconditional || IsUnconditional(conditionsByOwner.Last(transition.Id));
                for (int s = statesById.First(transition.TargetId); s != 0; s = statesById.Next(s))
                    reach(s);
            }
            if (!unconditional && m_.DefaultStateIndex > 0) reach(m_.DefaultStateIndex);
        }
        for (int s = 1; s <= m_.StateCount; ++s)
            if (!reached[s] && s != m_.TrapStateIndex)
                Warn(m_.StateTable[s].Line, code::kUnreachedState,
                     "state " + Quote(m_.StateTable[s].Name) +
                         " is not reached from the initial state");
    }

    // As the writer decides: the last condition drawn on a transition (its
    // row, 0 for none) is its condition, and "@ELSE" counts as none.
    bool IsUnconditional(int conditionRow) const {
        return conditionRow == 0 || IsElseCondition(m_.ConditionTable[conditionRow].Text);
    }

    const FsmModel& m_;
    Diagnostics found_;
};

} // namespace

Diagnostics CheckModel(const FsmModel& model) {
    return ModelChecker(model).Check();
}

} // namespace kestrom
