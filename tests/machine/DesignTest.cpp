// One reading of a file: the header's fields, the drawing, and the flat
// machine worked out once on demand.
#include <gtest/gtest.h>

#include "support/TestSupport.h"
#include "machine/Design.h"

namespace kestrom::machine {
namespace {

TEST(Design, HoldsTheHeaderTheDrawingAndOneFlatMachine) {
    const std::string path =
        kestrom::test::LocateSample("freecores__usbhostslave__slavecontroller_v1.19.asf");
    const Design design = Design::ReadFile(path);
    EXPECT_EQ(design.Text(), kestrom::test::ReadFileBytes(path));
    EXPECT_EQ(design.Language(), "VERILOG");
    EXPECT_EQ(design.Entity(), "slavecontroller");
    EXPECT_EQ(design.Libraries(),
              "`timescale 1ns / 1ps\n`include \"usbSerialInterfaceEngine_h.v\"\n"
              "`include \"usbSlaveControl_h.v\"\n`include \"usbConstants_h.v\"\n\n");
    EXPECT_EQ(design.Drawing().LibrariesLine, 8);
    EXPECT_EQ(design.ReadingProblems(), Diagnostics{});
    const FlatMachine& flat = design.Flat();
    EXPECT_EQ(&design.Flat(), &flat);
    EXPECT_EQ(flat.States.size(), 19u);
    EXPECT_EQ(design.FlatteningProblems(), Diagnostics{});
    // The flat machine points into the design's own drawing.
    EXPECT_EQ(flat.States[0].Drawn->Object,
              design.Drawing().Find(flat.States[0].Drawn->Object->Id));
}

TEST(Design, AFileThatCannotBeReadIsAnError) {
    kestrom::test::TempDir dir;
    EXPECT_THROW(Design::ReadFile(dir.File("missing.asf")), AsfError);
    EXPECT_THROW(Design::Load(dir.File("missing.asf")), AsfError);
}

TEST(Design, TextWithoutHeaderGivesEmptyFields) {
    const Design design = Design::FromText("VERSION=1.19\r\nOBJECTS\r\nEND\r\n");
    EXPECT_EQ(design.Language(), "");
    EXPECT_EQ(design.Libraries(), "");
    EXPECT_TRUE(design.Flat().States.empty());
}

} // namespace
} // namespace kestrom::machine
