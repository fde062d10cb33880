#include "sim/Export.h"

#include <algorithm>
#include <map>

#include "extensions/Stimuli.h"

namespace kestrom::sim {
namespace {

// The inputs a stimuli file may set, by their index in the hello.
std::vector<std::size_t> DrivableInputs(const Controller& simulation) {
    const std::vector<StimulusPort> ports = StimulusPorts(simulation.Bench());
    const std::vector<SignalInfo>& inputs = simulation.Greeting().Inputs;
    std::vector<std::size_t> drivable;
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        const auto port = std::find_if(ports.begin(), ports.end(), [&](const StimulusPort& p) {
            return p.Name == inputs[i].Name;
        });
        if (port != ports.end() && port->NotDrivable.empty()) drivable.push_back(i);
    }
    return drivable;
}

// The low `bits` bits of a decimal of any length, a negative one in two's
// complement; "?" (not known yet) is 0.
std::string Binary(const std::string& decimal, int bits) {
    const bool negative = !decimal.empty() && decimal[0] == '-';
    std::string digits = decimal.substr(negative ? 1 : 0);
    if (digits.empty() || digits[0] == '?') digits = "0";
    std::string low; // least significant bit first
    while (static_cast<int>(low.size()) < bits && digits != "0") {
        std::string half;
        int carry = 0;
        for (char c : digits) {
            const int value = carry * 10 + (c - '0');
            if (!half.empty() || value >= 2) half += static_cast<char>('0' + value / 2);
            carry = value % 2;
        }
        low += carry ? '1' : '0';
        digits = half.empty() ? "0" : half;
    }
    low.resize(static_cast<std::size_t>(std::max(bits, 1)), '0');
    if (negative) { // invert and add one
        bool add = true;
        for (char& bit : low) {
            const bool set = bit == '0';
            bit = set != add ? '1' : '0';
            add = add && set;
        }
    }
    const std::string text(low.rbegin(), low.rend());
    const std::size_t first = text.find('1');
    return first == std::string::npos ? "0" : text.substr(first);
}

std::string Identifier(std::size_t index) {
    std::string id;
    do {
        id += static_cast<char>('!' + index % 94);
        index /= 94;
    } while (index);
    return id;
}

struct VcdVariable {
    std::string Name;
    int Bits;
};

} // namespace

std::size_t WriteStimuli(const Controller& simulation, std::ostream& out) {
    const std::vector<std::size_t> columns = DrivableInputs(simulation);
    const std::vector<SignalInfo>& inputs = simulation.Greeting().Inputs;
    std::map<std::uint64_t, std::map<std::size_t, std::string>> rows;
    rows[0];
    std::size_t resets = 0;
    for (const InputChange& change : simulation.Changes()) {
        if (change.Input < 0) {
            ++resets;
            continue;
        }
        if (std::find(columns.begin(), columns.end(), change.Input) != columns.end())
            rows[change.Cycle][change.Input] = change.Word;
    }
    out << "# " << simulation.CyclesRun() << " cycles of a simulation of "
        << simulation.Greeting().Module << "; a test bench run with --cycles "
        << simulation.CyclesRun() << " replays them\n";
    if (resets)
        out << "# " << resets << " reset press" << (resets == 1 ? " is" : "es are")
            << " not in the table: a test bench holds the reset itself\n";
    out << "cycle";
    for (std::size_t input : columns)
        out << ',' << inputs[input].Name;
    out << '\n';
    std::vector<std::string> values(inputs.size(), "0");
    for (const auto& [cycle, set] : rows) {
        for (const auto& [input, word] : set)
            values[input] = word;
        out << cycle;
        for (std::size_t input : columns)
            out << ',' << values[input];
        out << '\n';
    }
    return resets;
}

void WriteVcd(const Controller& simulation, std::ostream& out) {
    const Hello& hello = simulation.Greeting();
    std::vector<VcdVariable> inputs, shown;
    for (const SignalInfo& input : hello.Inputs)
        inputs.push_back({input.Name, input.Bits});
    for (const auto* group : {&hello.Outputs, &hello.Internals})
        for (const SignalInfo& signal : *group)
            shown.push_back({signal.Name, signal.Bits});
    out << "$timescale 1 ns $end\n$scope module " << hello.Module << " $end\n";
    out << "$var string 1 " << Identifier(0) << " state $end\n";
    std::size_t next = 1;
    for (const auto* group : {&inputs, &shown})
        for (const VcdVariable& variable : *group)
            out << "$var wire " << variable.Bits << ' ' << Identifier(next++) << ' '
                << variable.Name << " $end\n";
    out << "$upscope $end\n$enddefinitions $end\n";
    auto change = [&](const std::string& value, int bits, std::size_t id) {
        if (bits == 1)
            out << (value == "0" ? '0' : '1') << Identifier(id) << '\n';
        else
            out << 'b' << Binary(value, bits) << ' ' << Identifier(id) << '\n';
    };
    const TraceRow* before = nullptr;
    for (const Controller::Row& shared : simulation.Trace()) {
        const TraceRow& row = *shared;
        out << '#' << row.Cycle * 10 << '\n';
        if (!before || before->State != row.State)
            out << 's' << row.State << ' ' << Identifier(0) << '\n';
        for (std::size_t i = 0; i < inputs.size(); ++i)
            if (!before || (*before->Inputs)[i] != (*row.Inputs)[i])
                change((*row.Inputs)[i], inputs[i].Bits, 1 + i);
        for (std::size_t i = 0; i < shown.size() && i < row.Values.size(); ++i)
            if (!before || before->Values[i] != row.Values[i])
                change(row.Values[i], shown[i].Bits, 1 + inputs.size() + i);
        before = &row;
    }
    if (before) out << '#' << (before->Cycle + 1) * 10 << '\n';
}

} // namespace kestrom::sim
