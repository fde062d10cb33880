// A waveform as GTKWave reads it, from the VCD file a test bench writes.
#pragma once

#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace kestrom::test {

// The waveform as GTKWave reads it: the traced names, and each one's value
// changes by time (in ns).
struct Waveform {
    std::vector<std::string> Names;
    std::map<std::string, std::map<long, std::string>> Changes;

    explicit Waveform(const std::string& vcd) {
        std::istringstream in(vcd);
        std::map<std::string, std::string> nameOf;
        long time = 0;
        for (std::string word; in >> word;) {
            if (word == "$var") {
                std::string kind, width, id, name;
                in >> kind >> width >> id >> name;
                nameOf[id] = name;
                Names.push_back(name);
            } else if (word[0] == '#') {
                time = std::stol(word.substr(1));
            } else if (word[0] == 'b') {
                std::string id;
                in >> id;
                Changes[nameOf[id]][time] = word.substr(1);
            } else if ((word[0] == '0' || word[0] == '1') && nameOf.count(word.substr(1))) {
                Changes[nameOf[word.substr(1)]][time] = word.substr(0, 1);
            }
        }
    }

    // The value at the end of each 10 ns cycle, as a number.
    std::vector<long> EndOfCycles(const std::string& name, int cycles) const {
        std::vector<long> values;
        const auto& changes = Changes.at(name);
        for (int k = 0; k < cycles; ++k) {
            auto at = changes.upper_bound(10L * k + 9);
            values.push_back(at == changes.begin() ? -1
                                                   : std::stol(std::prev(at)->second, nullptr, 2));
        }
        return values;
    }
};

} // namespace kestrom::test
