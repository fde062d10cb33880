// The protocol's lines as the driver writes them and the client reads them.
#include <gtest/gtest.h>

#include "sim/DriverSource.h"
#include "sim/Protocol.h"

namespace kestrom::sim {
namespace {

TEST(Protocol, HelloRoundTripsWithEscapedNames) {
    Hello hello;
    hello.Version = kProtocolVersion;
    hello.Module = "Pump";
    hello.Inputs = {{"go", 1, false}, {"level", 8, true}};
    hello.Outputs = {{"q", 32, true}};
    hello.Internals = {{"count", 4, false}};
    hello.States = {"Idle", "PKT.WAIT RDY", "100%"};
    hello.HasReset = true;
    const std::string line = FormatHello(hello);
    EXPECT_EQ(line, "hello kestrom-sim 2 module Pump in go:1:u in level:8:s out q:32:s "
                    "signal count:4:u state Idle state PKT.WAIT%20RDY state 100%25 reset yes");
    const std::optional<Hello> read = ParseHello(line);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->Inputs.size(), 2u);
    EXPECT_EQ(read->Inputs[1].Bits, 8);
    EXPECT_TRUE(read->Inputs[1].Signed);
    EXPECT_EQ(read->Internals[0].Name, "count");
    EXPECT_EQ(read->States, hello.States);
    EXPECT_TRUE(read->HasReset);
}

TEST(Protocol, MalformedHellosAreRefused) {
    for (const char* line :
         {"", "hello", "hello kestrom-sim x module M reset no", "hello kestrom-sim 2 module M",
          "hello kestrom-sim 2 module M in go", "hello kestrom-sim 2 module M in go:0:u reset no",
          "hello kestrom-sim 2 module M in go:1:x reset no",
          "hello kestrom-sim 2 module M colour red reset no",
          "hello kestrom-sim 2 module M reset maybe", "Warning: (W571) no activity"})
        EXPECT_FALSE(ParseHello(line)) << line;
}

TEST(Protocol, CycleLinesCarryStateTransitionAndValues) {
    const std::optional<CycleReport> report =
        ParseCycle("cycle 12 state IDLE.WAIT_GNT taken 7 q=1 level=-128 count=15");
    ASSERT_TRUE(report);
    EXPECT_EQ(report->Cycle, 12u);
    EXPECT_EQ(report->State, "IDLE.WAIT_GNT");
    EXPECT_EQ(report->Taken, 7);
    ASSERT_EQ(report->Values.size(), 3u);
    EXPECT_EQ(report->Values[1], (std::pair<std::string, std::string>{"level", "-128"}));

    for (const char* line : {"cycle x state A taken 0", "cycle 1 state A",
                             "cycle 1 state A taken 0 q", "cycle 1 state A taken 0 q=",
                             "cycle 1 state A taken 0 q=1x", "cycle 1 state A taken 0 =1", "ok"})
        EXPECT_FALSE(ParseCycle(line)) << line;
}

TEST(Protocol, EscapingKeepsEveryByte) {
    const std::string text = std::string("a b%c\td\x7F") + '\0' + "e";
    EXPECT_EQ(UnescapeWord(EscapeWord(text)), text);
    EXPECT_EQ(EscapeWord("PARENT.NAME"), "PARENT.NAME");
    EXPECT_EQ(UnescapeWord("50%"), "50%"); // an unfinished escape stands as it is
}

TEST(DriverSource, AnnouncesInputsOutputsAndInternalsButNotClockOrStatePort) {
    SimDesign design;
    design.Bench.Module = "M";
    design.Bench.Ports = {{"clk", PortDirection::In, "bool", 1, true},
                          {"go", PortDirection::In, "bool"},
                          {"level", PortDirection::In, "sc_int<8>", 8},
                          {"q", PortDirection::Out, "sc_uint<4>", 4},
                          {"bus", PortDirection::InOut, "sc_uint<2>", 2},
                          {kStatePortName, PortDirection::Out, "int", 32, false, true}};
    design.Bench.States = {"A", "B.C"};
    design.Internals = {{"count", "r_count", 3}};
    EXPECT_EQ(FormatHello(HelloOf(design)),
              "hello kestrom-sim 2 module M in go:1:u in level:8:s out q:4:u out bus:2:u "
              "signal count:3:u state A state B.C reset no");
    const std::string source = WriteDriverSource(design);
    EXPECT_NE(source.find("#include \"M.cpp\""), std::string::npos);
    EXPECT_NE(source.find("wires.q.read ().to_uint64 ()"), std::string::npos);
    EXPECT_NE(source.find("dut.r_count"), std::string::npos);
    EXPECT_NE(source.find("int sc_main"), std::string::npos);
}

} // namespace
} // namespace kestrom::sim
