// Random machines over a few narrow inputs, whose truth is known by trying
// every input value: every diagnostic is true and every overlap, covered
// transition, never-true and always-true condition is found.
#include <functional>
#include <map>
#include <random>
#include <regex>
#include <set>

#include <gtest/gtest.h>

#include "analysis/AnalysisSupport.h"

namespace kestrom::analysis::test {
namespace {

// a: 1 bit, b: 2 bits, c: 3 bits inputs; r: a 2-bit output read back.
struct Values {
    unsigned a = 0, b = 0, c = 0, r = 0;
};
constexpr unsigned kAssignments = 2 * 4 * 8 * 4;

Values Assignment(unsigned n) {
    return {n & 1, (n >> 1) & 3, (n >> 3) & 7, (n >> 6) & 3};
}

struct Condition {
    std::string Text;
    std::function<bool(const Values&)> Holds;
};

class Generator {
public:
    explicit Generator(unsigned seed) : random_(seed) {}

    unsigned Below(unsigned n) {
        return std::uniform_int_distribution<unsigned>(0, n - 1)(random_);
    }

    Condition Atom() {
        const unsigned k = Below(8);
        const std::string K = std::to_string(k);
        switch (Below(16)) {
        case 0:
            return {"a", [](const Values& v) { return v.a == 1; }};
        case 1:
            return {"!a", [](const Values& v) { return v.a == 0; }};
        case 2:
            return {"b == 2'd" + std::to_string(k % 4),
                    [k](const Values& v) { return v.b == k % 4; }};
        case 3:
            return {"b != 2'd" + std::to_string(k % 4),
                    [k](const Values& v) { return v.b != k % 4; }};
        case 4:
            return {"b < 2'd" + std::to_string(k % 4),
                    [k](const Values& v) { return v.b < k % 4; }};
        case 5:
            return {"b[" + std::to_string(k % 2) + "]",
                    [k](const Values& v) { return ((v.b >> (k % 2)) & 1) == 1; }};
        case 6:
            return {"c > 3'd" + K, [k](const Values& v) { return v.c > k; }};
        case 7:
            return {"c <= 3'd" + K, [k](const Values& v) { return v.c <= k; }};
        case 8:
            return {"c == " + std::to_string(k + 2), [k](const Values& v) {
                        return v.c == k + 2;
                    }}; // 32-bit literal: 8 and 9 never match
        case 9:
            return {"c[2:1] == 2'd" + std::to_string(k % 4),
                    [k](const Values& v) { return (v.c >> 1) == k % 4; }};
        case 10:
            return {"(c & 3'd" + K + ") != 3'd0", [k](const Values& v) { return (v.c & k) != 0; }};
        case 11:
            return {"b + 2'd1 == 2'd" + std::to_string(k % 4),
                    [k](const Values& v) { return ((v.b + 1) & 3) == k % 4; }}; // wraps at 2 bits
        case 12:
            return {"b + 2'd1 == 3'd" + K,
                    [k](const Values& v) { return v.b + 1 == k; }}; // computed at 3 bits: no wrap
        case 13:
            return {"{a, b} == 3'd" + K, [k](const Values& v) { return (v.a << 2 | v.b) == k; }};
        case 14:
            return {"r == 2'd" + std::to_string(k % 4),
                    [k](const Values& v) { return v.r == k % 4; }};
        default:
            return {"c - 3'd1 < c", [](const Values& v) { return v.c != 0; }};
        }
    }

    Condition Any(int depth) {
        if (depth == 0 || Below(3) == 0) return Atom();
        if (Below(5) == 0) {
            Condition inner = Any(depth - 1);
            return {"!(" + inner.Text + ")", [h = inner.Holds](const Values& v) { return !h(v); }};
        }
        Condition left = Any(depth - 1), right = Any(depth - 1);
        if (Below(2) == 0)
            return {"(" + left.Text + ") && (" + right.Text + ")",
                    [l = left.Holds, r = right.Holds](const Values& v) { return l(v) && r(v); }};
        return {"(" + left.Text + ") || (" + right.Text + ")",
                [l = left.Holds, r = right.Holds](const Values& v) { return l(v) || r(v); }};
    }

private:
    std::mt19937 random_;
};

// One transition as the oracle sees it, in tried order.
struct Tried {
    int Line = 0;
    int Priority = 0;
    bool Else = false;
    bool Unconditional = false;
    std::function<bool(const Values&)> Holds; // unconditional: always
    std::set<unsigned> HoldsFor;              // assignments
};

bool Ordered(const Tried& earlier, const Tried& later) { // strictly higher priority
    return later.Else || earlier.Priority != later.Priority;
}

struct Expected {
    std::set<std::string> Reported; // "K201@line"
};

// The truth of one state, by trying every assignment.
void ExpectState(const std::vector<Tried>& tried, int stateLine, Expected& expected) {
    const std::size_t n = tried.size();
    std::set<unsigned> anyHolds;
    bool complete = n == 0;
    for (const Tried& t : tried) {
        complete = complete || t.Else || t.Unconditional;
        anyHolds.insert(t.HoldsFor.begin(), t.HoldsFor.end());
    }
    if (!complete && anyHolds.size() < kAssignments)
        expected.Reported.insert("K205@" + std::to_string(stateLine));
    std::vector<bool> never(n), dead(n);
    for (std::size_t j = 0; j < n; ++j)
        never[j] = !tried[j].Else && tried[j].HoldsFor.empty();
    for (std::size_t j = 0; j < n; ++j) {
        if (tried[j].Else || never[j] || tried[j].HoldsFor.size() != kAssignments) continue;
        bool any = false;
        bool reported = false;
        for (std::size_t m = j + 1; m < n; ++m)
            if (Ordered(tried[j], tried[m])) {
                any = dead[m] = true;
                reported = reported || !never[m];
            }
        if (reported) expected.Reported.insert("K204@" + std::to_string(tried[j].Line));
        if (any) break;
    }
    for (std::size_t j = 0; j < n; ++j) {
        if (never[j]) expected.Reported.insert("K203@" + std::to_string(tried[j].Line));
        if (never[j] || dead[j]) continue;
        std::set<unsigned> covered;
        bool higher = false;
        for (std::size_t i = 0; i < j; ++i) {
            if (never[i]) continue;
            if (!Ordered(tried[i], tried[j])) {
                if (dead[i]) continue;
                for (unsigned x : tried[i].HoldsFor)
                    if (tried[j].HoldsFor.count(x)) {
                        expected.Reported.insert("K201@" + std::to_string(tried[j].Line));
                        break;
                    }
                continue;
            }
            higher = true;
            covered.insert(tried[i].HoldsFor.begin(), tried[i].HoldsFor.end());
        }
        const bool within = tried[j].Else
                                ? covered.size() == kAssignments
                                : std::includes(covered.begin(), covered.end(),
                                                tried[j].HoldsFor.begin(), tried[j].HoldsFor.end());
        if (higher && within) expected.Reported.insert("K202@" + std::to_string(tried[j].Line));
    }
}

// The witness of a message, "(a = 1, b = 2'h3)", as values.
Values WitnessValues(const std::string& message) {
    Values values;
    const std::regex pair(R"((\w+) = (?:\d+'h)?([0-9a-f]+))");
    const std::size_t open = message.find(" for (");
    const std::string list = message.substr(open, message.find(')', open) - open);
    for (std::sregex_iterator it(list.begin(), list.end(), pair), end; it != end; ++it) {
        const unsigned value = std::stoul((*it)[2].str(), nullptr, 16);
        const std::string name = (*it)[1].str();
        (name == "a"   ? values.a
         : name == "b" ? values.b
         : name == "c" ? values.c
                       : values.r) = value;
    }
    return values;
}

struct RandomCase {
    std::vector<StateSpec> States;
    std::map<int, Tried> ByLine;
    std::vector<std::vector<Tried>> TriedByState;
};

RandomCase MakeCase(unsigned seed) {
    Generator generate(seed);
    RandomCase c;
    const unsigned stateCount = 1 + generate.Below(4);
    for (unsigned s = 0; s < stateCount; ++s)
        c.States.push_back({"S" + std::to_string(s), 1000 * static_cast<int>(s + 1) - 1, {}});
    for (unsigned s = 0; s < stateCount; ++s) {
        const unsigned count = 1 + generate.Below(5);
        std::vector<Tried> drawn;
        for (unsigned t = 0; t < count; ++t) {
            TransitionSpec spec;
            spec.Line = 1000 * static_cast<int>(s + 1) + 2 * static_cast<int>(t);
            spec.Priority = static_cast<int>(generate.Below(3));
            spec.Target = "S" + std::to_string(generate.Below(stateCount));
            Tried tried;
            tried.Line = spec.Line;
            tried.Priority = spec.Priority;
            tried.Holds = [](const Values&) { return true; };
            const unsigned kind = generate.Below(12);
            if (kind == 0 && t + 1 == count) {
                spec.Condition = "@ELSE";
                tried.Else = true;
            } else if (kind == 1) {
                tried.Unconditional = true;
            } else {
                Condition condition = generate.Any(2);
                spec.Condition = condition.Text;
                tried.Holds = condition.Holds;
            }
            for (unsigned x = 0; x < kAssignments; ++x)
                if (!tried.Else && tried.Holds(Assignment(x))) tried.HoldsFor.insert(x);
            c.States[s].Transitions.push_back(spec);
            drawn.push_back(tried);
        }
        std::vector<Tried> order = drawn; // the order they are tried
        std::stable_sort(order.begin(), order.end(), [](const Tried& a, const Tried& b) {
            const int ra = a.Else ? 2 : a.Priority > 0 ? 0 : 1;
            const int rb = b.Else ? 2 : b.Priority > 0 ? 0 : 1;
            return ra != rb ? ra < rb : ra == 0 && a.Priority < b.Priority;
        });
        for (const Tried& tried : order)
            c.ByLine[tried.Line] = tried;
        c.TriedByState.push_back(order);
    }
    return c;
}

hdl::Scope SmallInputs() {
    hdl::Scope scope;
    Declare(scope, "a", hdl::SymbolKind::Input, 1);
    Declare(scope, "b", hdl::SymbolKind::Input, 2);
    Declare(scope, "c", hdl::SymbolKind::Input, 3);
    Declare(scope, "r", hdl::SymbolKind::Output, 2);
    return scope;
}

// Each diagnostic's own claim, checked against every assignment.
void CheckClaim(const Diagnostic& diagnostic, const RandomCase& c, const std::string& where) {
    if (diagnostic.Code == code::kInputsUncovered) {
        const Values witness = WitnessValues(diagnostic.Message);
        for (const auto& [line, tried] : c.ByLine)
            if (line / 1000 == (diagnostic.Line + 1) / 1000) {
                EXPECT_FALSE(tried.Holds(witness)) << where << diagnostic.Message;
            }
        return;
    }
    const Tried& at = c.ByLine.at(diagnostic.Line);
    if (diagnostic.Code == code::kConditionsOverlap) {
        const Values witness = WitnessValues(diagnostic.Message);
        const Tried& other = c.ByLine.at(diagnostic.Related.at(0).Line);
        EXPECT_TRUE(at.Holds(witness) && other.Holds(witness)) << where << diagnostic.Message;
    } else if (diagnostic.Code == code::kTransitionShadowed) {
        std::set<unsigned> covered;
        for (const RelatedLocation& cover : diagnostic.Related) {
            const Tried& higher = c.ByLine.at(cover.Line);
            EXPECT_TRUE(Ordered(higher, at)) << where << diagnostic.Message;
            covered.insert(higher.HoldsFor.begin(), higher.HoldsFor.end());
        }
        const std::set<unsigned> own = at.Else ? std::set<unsigned>() : at.HoldsFor;
        if (at.Else) { // an else is dead when every input is covered
            EXPECT_EQ(covered.size(), kAssignments) << where << diagnostic.Message;
        }
        EXPECT_TRUE(std::includes(covered.begin(), covered.end(), own.begin(), own.end()))
            << where << diagnostic.Message;
    }
}

TEST(RandomMachines, EveryWarningIsTrueAndEveryFaultIsFound) {
    const hdl::Scope scope = SmallInputs();
    AnalysisOptions options;
    options.UncoveredInputs = true;
    options.Limit.PerQuery = std::chrono::milliseconds(5000); // never the limit here
    options.Limit.PerFile = std::chrono::milliseconds(60000);
    std::map<std::string, int> found;
    for (unsigned seed = 1; seed <= 300; ++seed) {
        const RandomCase c = MakeCase(seed);
        const std::string where = "seed " + std::to_string(seed) + ": ";
        const AnalysisResult result =
            Analyse(MachineOf(c.States), scope, hdl::Language::Verilog, options);
        Expected expected;
        for (std::size_t s = 0; s < c.TriedByState.size(); ++s)
            ExpectState(c.TriedByState[s], c.States[s].Line, expected);
        std::set<std::string> reported;
        for (const Diagnostic& diagnostic : result.Reported) {
            ASSERT_NE(diagnostic.Code, code::kConditionNotDecided) << where << diagnostic.Message;
            reported.insert(std::string(diagnostic.Code) + "@" + std::to_string(diagnostic.Line));
            ++found[std::string(diagnostic.Code)];
            CheckClaim(diagnostic, c, where);
        }
        std::string drawn;
        for (const StateSpec& state : c.States)
            for (const TransitionSpec& t : state.Transitions)
                drawn += std::to_string(t.Line) + " p" + std::to_string(t.Priority) + " " +
                         t.Condition + "\n";
        EXPECT_EQ(reported, expected.Reported) << where << "\n" << drawn;
    }
    for (const char* kind : {"K201", "K202", "K203", "K204", "K205"})
        EXPECT_GT(found[kind], 5) << kind << " too rare to test anything";
}

} // namespace
} // namespace kestrom::analysis::test
