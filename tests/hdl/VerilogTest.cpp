// Verilog conditions and actions in, C++ out, compared whole.
#include <gtest/gtest.h>

#include "HdlTestSupport.h"

namespace kestrom::hdl::test {
namespace {

const Scope& Ports() {
    static const Scope scope = [] {
        Scope s = MakeScope({"in a 1", "in b 1", "in pid 4", "out cnt 4", "out data 8",
                             "sig wide 40", "sig bus 8 [15:8]", "out flag 1", "in idx 3"});
        s.Macros.Define("TX_IDLE", "8'h05");
        s.Macros.Define("BIT", "2");
        s.Macros.Define("LIMIT", "`BASE - 4'h1");
        s.Macros.Define("BASE", "4'h9");
        return s;
    }();
    return scope;
}

std::string V(const std::string& text) {
    return Condition(Language::Verilog, text, Ports());
}
std::string A(const std::string& text) {
    return Actions(Language::Verilog, text, Ports());
}

TEST(VerilogConditions, TranslateWithTheirWidths) {
    EXPECT_EQ(V("a == 1'b1"), "a == 1u");
    EXPECT_EQ(V("pid == 4'hf && !b"), "(pid == 0xfu) && !b");
    EXPECT_EQ(V("cnt + 1'b1 == 5'd16"), "((cnt + 1u) & 0x1fu) == 16u");
    EXPECT_EQ(V("~a"), "!a");
    EXPECT_EQ(V("~pid == 4'h0"), "(~pid & 0xfu) == 0u");
    EXPECT_EQ(V("data[`BIT] == 1'b0"), "((data >> 2) & 1u) == 0u");
    EXPECT_EQ(V("data[7:4] != pid"), "((data >> 4) & 0xfu) != pid");
    EXPECT_EQ(V("data == `TX_IDLE"), "data == 5u");
    EXPECT_EQ(V("cnt >= `LIMIT"), "cnt >= ((9u - 1u) & 0xfu)");
    EXPECT_EQ(V("&pid | ^data"), "(pid == 0xfu) | (__builtin_popcountll(data) & 1)");
    EXPECT_EQ(V("bus[15] || bus[9:8] == 2'b10"), "((bus >> 7) & 1u) || ((bus & 0x3u) == 2u)");
    EXPECT_EQ(V("{a, b} == 2'b11 ? a : b"), "(((a << 1) | b) == 3u) ? a : b");
}

TEST(VerilogErrors, NameWhatIsNotTranslated) {
    EXPECT_EQ(ErrorOf([] { V("next_cnt == 4'h0"); }),
              "K401 10:5 reading 'next_cnt' (the value 'cnt' takes at the coming edge) outside "
              "the diagram actions is not supported");
    EXPECT_EQ(ErrorOf([] { V("next_pid == 4'h0"); }),
              "K402 10:5 unknown name 'next_pid': it is no port, signal, constant or macro");
}

TEST(VerilogActions, OneLinePerStatement) {
    EXPECT_EQ(A("cnt <= cnt + 1'b1;\ndata <= {4'h0, pid};"),
              "cnt_next = (cnt + 1u) & 0xfu;\ndata_next = (0u << 4) | pid;\n");
    EXPECT_EQ(A("if (a == 1'b1)\n  cnt <= 4'h0;\nelse if (b)\n  cnt <= pid;\nelse\nbegin\n"
                "  flag <= ~flag;\nend"),
              "if (a == 1u) {\n  cnt_next = 0u;\n} else if (b) {\n  cnt_next = pid;\n} else {\n"
              "  flag_next = !flag;\n}\n");
    EXPECT_EQ(A("case (pid)\n 4'h1, 4'h2: flag <= 1'b1;\n default: flag <= 1'b0;\nendcase"),
              "if (pid == 1u || pid == 2u) {\n  flag_next = 1u;\n} else {\n  flag_next = 0u;\n}\n");
    EXPECT_EQ(A("data[3:0] <= pid; flag = a; cnt <= flag;"),
              "data_next = (data_next & 0xf0u) | pid;\nflag_next = a;\ncnt_next = flag_next;\n");
}

} // namespace
} // namespace kestrom::hdl::test
