// Every condition, action and declaration text of the real diagrams, parsed
// with the symbols their ports and declarations give. Texts that cannot be
// translated must be refused with a precise reason; the list of refusals is
// compared whole.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "HdlTestSupport.h"
#include "base/TextCodec.h"

namespace kestrom::hdl::test {
namespace {

namespace fs = std::filesystem;

struct Text {
    char Kind; // 'A', 'C', 'D'
    int ActionKind = 0;
    int Line = 0;
    int Column = 0;
    std::string Value; // escapes decoded
};

struct Sample {
    Language Lang = Language::Verilog;
    std::string Libraries;
    std::vector<Text> Texts;
    Scope Symbols;
};

// The last quoted token of an object line, decoded, and its column.
std::string LastQuoted(const std::string& line, int& column) {
    const std::size_t close = line.find_last_of('"');
    if (close == std::string::npos || close == 0) return {};
    std::size_t open = close;
    while (open > 0) {
        --open;
        if (line[open] != '"') continue;
        std::size_t slashes = 0;
        for (std::size_t i = open; i > 0 && line[i - 1] == '\\'; --i)
            ++slashes;
        if (slashes % 2 == 0) break;
    }
    column = static_cast<int>(open) + 2;
    std::string decoded;
    for (std::size_t i = open + 1; i < close; ++i) {
        if (line[i] == '\\' && i + 1 < close) {
            const char next = line[++i];
            decoded += next == 'n' ? '\n' : next;
        } else {
            decoded += line[i];
        }
    }
    return decoded;
}

Symbol PortSymbol(const std::string& label, SymbolKind kind, int line) {
    std::string name = label, value;
    const std::size_t equals = name.find('=');
    if (equals != std::string::npos) {
        value = name.substr(equals + 1);
        name = name.substr(0, equals);
    }
    Symbol symbol = MakeSymbol(name, kind, 1, line);
    const std::size_t open = name.find('[');
    if (open != std::string::npos) {
        symbol.Name = name.substr(0, open);
        while (!symbol.Name.empty() && symbol.Name.back() == ' ')
            symbol.Name.pop_back();
        const int left = std::stoi(name.substr(open + 1));
        const int right = std::stoi(name.substr(name.find(':', open) + 1));
        symbol.Left = left;
        symbol.Right = right;
        symbol.Width = std::abs(left - right) + 1;
    }
    if (!value.empty() && value.front() == '"') {
        std::uint64_t bits = 0;
        for (char c : value)
            if (c == '0' || c == '1') bits = (bits << 1) | static_cast<std::uint64_t>(c - '0');
        symbol.Value = bits;
    }
    return symbol;
}

Sample ReadSample(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    Sample sample;
    std::map<std::string, SymbolKind> portKinds; // object id -> kind
    std::vector<std::pair<std::string, std::pair<std::string, int>>> labels;
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::istringstream words(line);
        std::string kind, id, owner, flags, what, builtin;
        words >> kind >> id >> owner >> flags >> what >> builtin;
        int column = 0;
        if (line.rfind("LANGUAGE=", 0) == 0)
            sample.Lang = *LanguageNamed(line.substr(9));
        else if (line.rfind("\"LIBRARIES=", 0) == 0)
            sample.Libraries = LastQuoted("\"" + line.substr(11), column);
        else if (kind == "I") {
            static const std::map<std::string, SymbolKind> kKinds = {
                {"InPort", SymbolKind::Input},
                {"OutPort", SymbolKind::Output},
                {"BiDirPort", SymbolKind::InOut},
                {"Signal", SymbolKind::Signal},
                {"Constant", SymbolKind::Constant}};
            auto found = kKinds.find(builtin);
            if (found != kKinds.end()) portKinds[id] = found->second;
        } else if (kind == "L") {
            labels.push_back({owner, {LastQuoted(line, column), number}});
        } else if (kind == "A" || kind == "C" || kind == "D") {
            Text text{kind[0], std::stoi(flags), number, 0, {}};
            text.Value = LastQuoted(line, text.Column);
            sample.Texts.push_back(text);
        }
    }
    for (const auto& [owner, label] : labels) {
        auto found = portKinds.find(owner);
        if (found != portKinds.end())
            sample.Symbols.Symbols.Add(PortSymbol(label.first, found->second, label.second));
    }
    return sample;
}

// "line: code message" for every text refused, in file order.
std::vector<std::string> Refusals(const std::string& path) {
    Sample sample = ReadSample(path);
    const std::string file = fs::path(path).filename().string();
    std::vector<std::string> refused;
    auto attempt = [&](int line, auto&& run) {
        const std::string error = ErrorOf(run);
        if (error != "no error")
            refused.push_back(std::to_string(line) + ": " + error.substr(0, 4) +
                              error.substr(error.find(' ', 5)));
    };
    sample.Symbols.IncludeDirs = {KESTROM_TEST_DATA "/hdl/include"};
    attempt(0, [&] {
        if (sample.Lang == Language::Verilog)
            ScanDirectives(sample.Libraries, TextOrigin{file, 1, 1}, sample.Symbols.IncludeDirs,
                           sample.Symbols.Macros);
    });
    for (const Text& text : sample.Texts)
        if (text.Kind == 'D')
            attempt(text.Line, [&] {
                ParseDeclarations(sample.Lang, text.Value, TextOrigin{file, text.Line, text.Column},
                                  sample.Symbols);
            });
    for (const Text& text : sample.Texts) {
        const TextOrigin origin{file, text.Line, text.Column};
        attempt(text.Line, [&] {
            CodePrinter out;
            if (text.Kind == 'C' && !IsElseCondition(text.Value) && !text.Value.empty()) {
                EmitCondition(*ParseCondition(sample.Lang, text.Value, origin, sample.Symbols),
                              TestNaming());
            } else if (text.Kind == 'A' && text.ActionKind == 1) {
                for (const auto& item :
                     ParseDiagramActions(sample.Lang, text.Value, origin, sample.Symbols))
                    EmitActions(item.Body, TestNaming(), out);
            } else if (text.Kind == 'A') {
                EmitActions(ParseActions(sample.Lang, text.Value, origin, sample.Symbols),
                            TestNaming(), out);
            }
        });
    }
    return refused;
}

std::string Join(const std::vector<std::string>& lines) {
    std::string all;
    for (const auto& line : lines)
        all += line + "\n";
    return all;
}

class Samples : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fs::is_directory(KESTROM_SHARED_SAMPLES))
            GTEST_SKIP() << "the shared samples are not beside the checkout ("
                         << KESTROM_SHARED_SAMPLES << ")";
    }
    static std::string Path(const std::string& name) {
        return std::string(KESTROM_SHARED_SAMPLES) + "/" + name;
    }
};

// What the real designs' texts hold that cannot be read on their own: the
// delay counter the editor adds (ddr_test_sm; the design's scope declares it
// when the drawing has Delay states, hdl.sample.ddr_test_sm), macros of a header
// the diagram does not include (hctxportarbiter), and a name that is no port
// (slavecontroller, whose next line also lacks its semicolon).
TEST_F(Samples, EveryTextParsesOrIsRefusedWithItsReason) {
    std::map<std::string, std::string> refusals;
    for (const auto& entry : fs::directory_iterator(KESTROM_SHARED_SAMPLES)) {
        if (entry.path().extension() != ".asf") continue;
        const auto refused = Refusals(entry.path().string());
        if (!refused.empty()) refusals[entry.path().filename().string()] = Join(refused);
    }
    const std::string delay =
        ": K402 unknown name 'delay_counter_ddr_test_sm': it is no port, signal, constant or "
        "macro\n";
    std::map<std::string, std::string> expected = {
        {"gbrangeon-telops__irc_common_hdl__ddr_test_sm.asf", "161" + delay + "176" + delay +
                                                                  "188" + delay + "190" + delay +
                                                                  "199" + delay + "201" + delay},
        {"freecores__usbhostslave__hctxportarbiter_v1.15.asf",
         "52: K405 macro `SEND_PACKET_MUX is used on line 53 but never defined\n"
         "53: K405 macro `SOF_CTRL_MUX is used on line 54 but never defined\n"
         "83: K405 macro `SOF_CTRL_MUX is used on line 90 but never defined\n"
         "121: K405 macro `DIRECT_CTRL_MUX is used on line 122 but never defined\n"},
        {"freecores__usbhostslave__slavecontroller_v1.19.asf",
         "248: K402 unknown name 'clearEPRdy': it is no port, signal, constant or macro\n"},
    };
    EXPECT_EQ(refusals, expected);
}

} // namespace
} // namespace kestrom::hdl::test
