#include "conversion/ModelCheck.h"

#include <algorithm>
#include <array>
#include <map>
#include <string_view>
#include <vector>

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
    for (std::string_view keyword : kCppKeywords)
        if (name == keyword) return true;
    return false;
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
        CheckNames("state", StateNames());
        CheckNames("port", PortNames());
        CheckReachability();
        std::stable_sort(found_.begin(), found_.end(),
                         [](const Diagnostic& a, const Diagnostic& b) { return a.Line < b.Line; });
        return std::move(found_);
    }

private:
    struct Named {
        Integer Id;
        const std::string* Name;
        int Line;
    };

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

    std::vector<Named> StateNames() const {
        std::vector<Named> names;
        for (int s = 1; s <= m_.StateCount; ++s)
            names.push_back({m_.StateTable[s].Id, &m_.StateTable[s].Name, m_.StateTable[s].Line});
        return names;
    }

    std::vector<Named> PortNames() const {
        std::vector<Named> names;
        for (int p = 1; p <= m_.PortCount; ++p)
            names.push_back({m_.PortTable[p].Id, &m_.PortTable[p].Name, m_.PortTable[p].Line});
        return names;
    }

    void CheckNames(const std::string& kind, const std::vector<Named>& objects) {
        std::map<std::string, int> firstLine;
        for (const Named& object : objects) {
            if (object.Name->empty()) {
                Warn(object.Line, code::kNoName,
                     kind + " " + std::to_string(object.Id) + " has no name");
                continue;
            }
            const auto [earlier, isNew] = firstLine.emplace(*object.Name, object.Line);
            if (!isNew)
                Warn(object.Line, code::kSameName,
                     "two " + kind + "s are named " + Quote(*object.Name) + " (the other on line " +
                         std::to_string(earlier->second) + ")");
            CheckName(kind, *object.Name, object.Line);
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
            for (int t = 1; t <= m_.TransitionCount; ++t) {
                if (m_.TransitionTable[t].SourceId != from) continue;
                unconditional = unconditional || IsUnconditional(m_.TransitionTable[t].Id);
                for (int s : RowsWithId(m_.TransitionTable[t].TargetId))
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

    // As the writer decides: the last condition drawn on a transition is its
    // condition, and "@ELSE" counts as none.
    bool IsUnconditional(Integer transitionId) const {
        const std::string* condition = nullptr;
        for (int c = 1; c <= m_.ConditionCount; ++c)
            if (m_.ConditionTable[c].OwnerId == transitionId)
                condition = &m_.ConditionTable[c].Text;
        return condition == nullptr || IsElseCondition(*condition);
    }

    std::vector<int> RowsWithId(Integer id) {
        if (rowsById_.empty())
            for (int s = 1; s <= m_.StateCount; ++s)
                rowsById_[m_.StateTable[s].Id].push_back(s);
        const auto found = rowsById_.find(id);
        return found == rowsById_.end() ? std::vector<int>{} : found->second;
    }

    const FsmModel& m_;
    Diagnostics found_;
    std::map<Integer, std::vector<int>> rowsById_;
};

} // namespace

Diagnostics CheckModel(const FsmModel& model) {
    return ModelChecker(model).Check();
}

} // namespace kestrom
