// ddr_test_sm, worked out by hand from the diagram: VHDL texts, two states in
// the "Delay" style whose sub-diagrams count down the editor's own register
// delay_counter_ddr_test_sm (set to 1 - 1 on the way in, so each waits one
// cycle), a junction after RD_END choosing by priority, exit actions that
// follow the leaving state's state actions, and DAT_INV driven by a diagram
// action from the signal dat_inv_loc. WR is "100", RD "101"; DDR_PASS "01",
// DDR_FAIL "11".
#include "TraceHarness.h"

namespace thread_kind {
#include "ddr_test_sm_thread.cpp"
}
namespace method_kind {
#include "ddr_test_sm_method.cpp"
}

template <typename Module> struct Outputs {
    sc_signal<bool> NXT_ADR, U_CMD_VALID, RST_GEN, NXT_DAT, EN_TEST, DAT_INV;
    sc_signal<sc_uint<3>> U_CMD;
    sc_signal<sc_uint<2>> DDRT_STAT;
    Module dut;
    explicit Outputs(const char* name) : dut(name) {
        dut.NXT_ADR(NXT_ADR);
        dut.U_CMD_VALID(U_CMD_VALID);
        dut.RST_GEN(RST_GEN);
        dut.NXT_DAT(NXT_DAT);
        dut.EN_TEST(EN_TEST);
        dut.DAT_INV(DAT_INV);
        dut.U_CMD(U_CMD);
        dut.DDRT_STAT(DDRT_STAT);
    }
};

enum class S { RESET, NoTest, WRITE, WR_END, DS1, READ, RD_END, DS2, OK, ERR };

struct Row {
    bool sinit, busy, trig, lst, pend, vld, eq;
    S state;
    bool adr, valid, dat, rst_gen, en_test, dat_inv;
    unsigned cmd, stat;
};

const Row kTrace[] = {
    // sinit busy trig lst pend vld eq | state | adr valid dat rst en inv | cmd stat
    {1, 0, 0, 0, 1, 0, 1, S::RESET, 0, 0, 0, 1, 1, 0, 0, 0},
    {0, 0, 1, 0, 1, 0, 1, S::WRITE, 1, 1, 1, 0, 1, 0, 4, 0},  // WRITE's entry actions
    {0, 1, 1, 0, 1, 0, 1, S::WRITE, 0, 0, 0, 0, 1, 0, 4, 0},  // state actions: not U_BUSY
    {0, 0, 1, 1, 1, 0, 1, S::WR_END, 0, 0, 0, 0, 1, 0, 4, 0}, // exit actions after them
    {0, 0, 1, 0, 1, 0, 1, S::WR_END, 0, 0, 0, 0, 1, 0, 4, 0},
    {0, 0, 1, 0, 0, 0, 1, S::DS1, 0, 0, 0, 1, 1, 0, 4, 0},    // into D1: the counter is 0
    {0, 0, 1, 0, 1, 1, 1, S::READ, 1, 1, 1, 0, 1, 0, 5, 0},   // the count is done at once
    {0, 0, 1, 1, 1, 1, 1, S::RD_END, 0, 0, 1, 0, 1, 0, 5, 0}, // RD_END's entry: DATA_VLD
    // through J1: dat_inv_loc = '0' (priority 1) into D2, dat_inv_loc <= '1'
    {0, 1, 1, 0, 0, 0, 1, S::DS2, 0, 0, 0, 1, 1, 1, 5, 0},
    {0, 1, 1, 0, 1, 0, 1, S::WRITE, 0, 0, 0, 0, 1, 1, 4, 0}, // out of D2, U_BUSY high
    {0, 0, 1, 1, 1, 0, 1, S::WR_END, 0, 0, 0, 0, 1, 1, 4, 0},
    {0, 0, 1, 0, 0, 0, 1, S::DS1, 0, 0, 0, 1, 1, 1, 4, 0},
    {0, 0, 1, 0, 1, 0, 1, S::READ, 1, 1, 0, 0, 1, 1, 5, 0},
    {0, 0, 1, 1, 1, 0, 1, S::RD_END, 0, 0, 0, 0, 1, 1, 5, 0},
    // J1 again: dat_inv_loc is '1' and DDRT_TRIG '1', so priority 3 into OK
    {0, 0, 1, 0, 0, 1, 1, S::OK, 0, 0, 0, 0, 1, 1, 5, 0},
    {0, 0, 1, 0, 0, 1, 1, S::OK, 0, 0, 0, 0, 0, 1, 5, 1},
    {1, 0, 0, 0, 0, 0, 1, S::RESET, 0, 0, 0, 1, 1, 0, 0, 0}, // the reset's action clears it
    {0, 0, 0, 0, 0, 0, 1, S::NoTest, 0, 0, 0, 1, 1, 0, 0, 0},
    {0, 0, 0, 0, 0, 0, 1, S::NoTest, 0, 0, 0, 1, 0, 0, 0, 1},
    {1, 0, 0, 0, 0, 0, 1, S::RESET, 0, 0, 0, 1, 1, 0, 0, 0},
    {0, 0, 1, 0, 1, 0, 1, S::WRITE, 1, 1, 1, 0, 1, 0, 4, 0},
    {0, 0, 1, 1, 1, 0, 1, S::WR_END, 0, 0, 0, 0, 1, 0, 4, 0},
    {0, 0, 1, 0, 0, 0, 1, S::DS1, 0, 0, 0, 1, 1, 0, 4, 0},
    {0, 0, 1, 0, 1, 0, 1, S::READ, 1, 1, 0, 0, 1, 0, 5, 0},
    // DAT_EQ = '0' (priority 1) before LST_ADR = '1' (priority 2)
    {0, 0, 1, 1, 1, 1, 0, S::ERR, 0, 0, 0, 0, 1, 0, 5, 0},
    {0, 0, 1, 1, 1, 1, 0, S::ERR, 0, 0, 0, 0, 0, 0, 5, 3},
};

template <typename Module>
void Check(const char* kind, int edge, const Outputs<Module>& o, const Row& row) {
    using State = typename Module::State;
    const State states[] = {State::RESET,  State::NoTest, State::WRITE,  State::WR_END,
                            State::D1_DS1, State::READ,   State::RD_END, State::D2_DS2,
                            State::OK,     State::ERR};
    trace::Expect(kind, edge, "the state", static_cast<int>(o.dut.CurrentState),
                  static_cast<int>(states[static_cast<int>(row.state)]));
    trace::Expect(kind, edge, "NXT_ADR", o.NXT_ADR.read(), row.adr);
    trace::Expect(kind, edge, "U_CMD_VALID", o.U_CMD_VALID.read(), row.valid);
    trace::Expect(kind, edge, "NXT_DAT", o.NXT_DAT.read(), row.dat);
    trace::Expect(kind, edge, "RST_GEN", o.RST_GEN.read(), row.rst_gen);
    trace::Expect(kind, edge, "EN_TEST", o.EN_TEST.read(), row.en_test);
    trace::Expect(kind, edge, "DAT_INV", o.DAT_INV.read(), row.dat_inv);
    trace::Expect(kind, edge, "U_CMD", o.U_CMD.read(), row.cmd);
    trace::Expect(kind, edge, "DDRT_STAT", o.DDRT_STAT.read(), row.stat);
}

int sc_main(int, char*[]) {
    sc_report_handler::set_actions(SC_INFO, SC_DO_NOTHING);
    sc_clock clk("clk", trace::Period(), 0.5, sc_time(5, SC_NS), true);
    sc_signal<bool> SINIT, U_BUSY, DDRT_TRIG, LST_ADR, DAT_PEND, DATA_VLD, DAT_EQ;
    Outputs<thread_kind::ddr_test_sm> thread("thread");
    Outputs<method_kind::ddr_test_sm> method("method");
    auto bind = [&](auto& dut) {
        dut.CLK(clk);
        dut.SINIT(SINIT);
        dut.U_BUSY(U_BUSY);
        dut.DDRT_TRIG(DDRT_TRIG);
        dut.LST_ADR(LST_ADR);
        dut.DAT_PEND(DAT_PEND);
        dut.DATA_VLD(DATA_VLD);
        dut.DAT_EQ(DAT_EQ);
    };
    bind(thread.dut);
    bind(method.dut);
    int edge = 0;
    for (const Row& row : kTrace) {
        SINIT.write(row.sinit);
        U_BUSY.write(row.busy);
        DDRT_TRIG.write(row.trig);
        LST_ADR.write(row.lst);
        DAT_PEND.write(row.pend);
        DATA_VLD.write(row.vld);
        DAT_EQ.write(row.eq);
        sc_start(trace::Period());
        Check("thread", edge, thread, row);
        Check("method", edge, method, row);
        ++edge;
    }
    return trace::Finish("ddr_test_sm");
}
