// VHDL conditions, actions and concurrent assignments in, C++ out, compared
// whole.
#include <gtest/gtest.h>

#include "HdlTestSupport.h"

namespace kestrom::hdl::test {
namespace {

Scope& Ports() {
    static Scope scope = [] {
        Scope s =
            MakeScope({"in a 1", "in b 1", "in pid 4", "out cnt 4", "out data 8", "out flag 1"});
        ParseDeclarations(Language::Vhdl,
                          "signal n : integer range -4 to 3;\n"
                          "constant IDLE : std_logic_vector(3 downto 0) := \"0101\";",
                          Origin(), s);
        return s;
    }();
    return scope;
}

std::string C(const std::string& text) {
    return Condition(Language::Vhdl, text, Ports());
}
std::string A(const std::string& text) {
    return Actions(Language::Vhdl, text, Ports());
}
std::string Concurrent(const std::string& text) {
    CodePrinter out(2);
    for (const ModuleItem& item : ParseDiagramActions(Language::Vhdl, text, Origin(), Ports()))
        EmitActions(item.Body, TestNaming(), out);
    return out.Text();
}

TEST(VhdlConditions, TranslateWithTheirWidths) {
    EXPECT_EQ(C("a = '1' and b /= '0'"), "(a == 1u) & (b != 0u)");
    EXPECT_EQ(C("pid = \"1111\" or not (a = '1')"), "(pid == 15u) | !(a == 1u)");
    EXPECT_EQ(C("pid = IDLE"), "pid == IDLE");
    // A signed integer compares as signed: its 3 bits sign-extended first.
    EXPECT_EQ(C("n < 0"),
              "(std::int64_t(std::uint64_t((((n ^ 4u) - 4u) & 0xffffffffu)) ^ 2147483648ull) - "
              "std::int64_t(2147483648ull)) < (std::int64_t(std::uint64_t(0u) ^ 2147483648ull) - "
              "std::int64_t(2147483648ull))");
    EXPECT_EQ(C("data(7 downto 4) = x\"a\" and data(0) = '1'"),
              "(((data >> 4) & 0xfu) == 0xau) & ((data & 1u) == 1u)");
}

TEST(VhdlActions, OneLinePerStatement) {
    EXPECT_EQ(A("cnt <= cnt + 1;\nflag <= not flag;"),
              "cnt_next = (cnt + 1u) & 0xfu;\nflag_next = !flag;\n");
    EXPECT_EQ(
        A("if a = '1' then\n  cnt <= \"0000\";\nelsif b = '1' then\n  cnt <= pid;\n"
          "else\n  data <= (others => '0');\nend if;"),
        "if (a == 1u) {\n  cnt_next = 0u;\n} else if (b == 1u) {\n  cnt_next = pid;\n} else {\n"
        "  data_next = 0u;\n}\n");
    EXPECT_EQ(A("case pid is\n  when \"0001\" | \"0010\" => flag <= '1';\n"
                "  when others => flag <= '0';\nend case;"),
              "if (pid == 1u || pid == 2u) {\n  flag_next = 1u;\n} else {\n  flag_next = 0u;\n}\n");
    EXPECT_EQ(A("n <= n - 1;"),
              "n_next = (((((n ^ 4u) - 4u) & 0xffffffffu) - 1u) & 0xffffffffu) & 0x7u;\n");
}

// After a reserved word a tick opens a character literal, not an attribute.
TEST(VhdlConcurrent, ConditionalAssignmentsChooseInOrder) {
    EXPECT_EQ(Concurrent("flag <= '1' when a = '1' else '0';"),
              "flag_next = (a == 1u) ? 1u : 0u;\n");
    EXPECT_EQ(Concurrent("flag <= a and '1';\ncnt <= \"0001\" when b = '1' else pid when a = '1' "
                         "else \"0000\";"),
              "flag_next = a & 1u;\ncnt_next = (b == 1u) ? 1u : ((a == 1u) ? pid : 0u);\n");
}

TEST(VhdlErrors, NameTheirPlace) {
    EXPECT_EQ(ErrorOf([] { C("a = '2'"); }),
              "K401 10:9 the character literal '2' is not supported");
    EXPECT_EQ(ErrorOf([] { A("cnt <= \"00000\";"); }),
              "K408 10:12 'cnt' is 4 bits wide but the value is 5 bits");
    EXPECT_EQ(ErrorOf([] { A("if a = '1' then cnt <= pid;"); }),
              "K406 10:31 expected 'end' after ';'");
    // The 200th operator of a chain makes the tree 201 levels deep.
    std::string chain = "cnt <= cnt";
    for (int i = 0; i < 250; ++i)
        chain += " - 1";
    EXPECT_EQ(ErrorOf([&] { A(chain + ";"); }),
              "K401 10:812 nesting deeper than 200 levels is not supported");
    EXPECT_EQ(ErrorOf([] { A("case n is\n  when \"0000\" => cnt <= pid;\nend case;"); }),
              "K401 11:8 mixing an integer and a vector without a conversion is not supported");
    EXPECT_EQ(ErrorOf([] { A("n <= data;"); }),
              "K401 10:10 a vector assigned to the integer 'n' without a conversion is not "
              "supported");
}

} // namespace
} // namespace kestrom::hdl::test
