// directcontrol, worked out by hand from the diagram: two sub-diagrams
// entered through their Entry objects (the Entry transition's action runs on
// the way in) and left through Exit objects on to the parent's transition;
// priority 1 over the unconditional priority 2. `TX_DIRECT_CONTROL is 8'h00
// and `TX_IDLE 8'h05 in the test include file.
#include "TraceHarness.h"

namespace thread_kind {
#include "directcontrol_thread.cpp"
}
namespace method_kind {
#include "directcontrol_method.cpp"
}

template <typename Module> struct Outputs {
    sc_signal<bool> HCTxPortWEn, HCTxPortReq;
    sc_signal<sc_uint<8>> HCTxPortData, HCTxPortCntl;
    Module dut;
    explicit Outputs(const char* name) : dut(name) {
        dut.HCTxPortWEn(HCTxPortWEn);
        dut.HCTxPortReq(HCTxPortReq);
        dut.HCTxPortData(HCTxPortData);
        dut.HCTxPortCntl(HCTxPortCntl);
    }
};

enum class S { START, CHK, D_GNT, D_RDY, D_LOOP, I_GNT, I_RDY, I_FIN };

struct Row {
    bool rst, En, Gnt, Rdy;
    unsigned lineState;
    S state;
    bool wen, req;
    unsigned data, cntl;
};

const Row kTrace[] = {
    {1, 0, 0, 0, 0, S::START, 0, 0, 0, 0},
    {0, 0, 0, 0, 0, S::CHK, 0, 0, 0, 0},
    {0, 1, 0, 0, 0, S::D_GNT, 0, 1, 0, 0}, // into DRCT_CNTL: the Entry's Req <= 1
    {0, 1, 0, 0, 0, S::D_GNT, 0, 1, 0, 0},
    {0, 1, 1, 0, 0, S::D_RDY, 0, 1, 0, 0},
    {0, 1, 1, 1, 2, S::D_LOOP, 1, 1, 2, 0}, // Data <= {6'b000000, directControlLineState}
    {0, 1, 0, 0, 3, S::D_RDY, 0, 1, 2, 0},  // CHK_LOOP's state action, then priority 2
    {0, 1, 0, 1, 1, S::D_LOOP, 1, 1, 1, 0},
    {0, 0, 0, 0, 0, S::CHK, 0, 0, 1, 0},   // through the Exit: Req <= 0
    {0, 0, 0, 0, 0, S::I_GNT, 0, 1, 1, 0}, // unconditional priority 2 into IDLE
    {0, 0, 1, 0, 0, S::I_RDY, 0, 1, 1, 0},
    {0, 0, 0, 1, 0, S::I_FIN, 1, 1, 0, 5},
    {0, 1, 0, 0, 0, S::CHK, 0, 0, 0, 5}, // FIN's state actions, out through the Exit
    {0, 1, 0, 0, 0, S::D_GNT, 0, 1, 0, 5},
    {1, 1, 1, 1, 0, S::START, 0, 0, 0, 0}, // reset: START_DC's entry actions
};

template <typename Module>
void Check(const char* kind, int edge, const Outputs<Module>& o, const Row& row) {
    using State = typename Module::State;
    const State states[] = {State::START_DC,           State::CHK_DRCT_CNTL,
                            State::DRCT_CNTL_WAIT_GNT, State::DRCT_CNTL_WAIT_RDY,
                            State::DRCT_CNTL_CHK_LOOP, State::IDLE_WAIT_GNT,
                            State::IDLE_WAIT_RDY,      State::IDLE_FIN};
    trace::Expect(kind, edge, "the state", static_cast<int>(o.dut.CurrentState),
                  static_cast<int>(states[static_cast<int>(row.state)]));
    trace::Expect(kind, edge, "HCTxPortWEn", o.HCTxPortWEn.read(), row.wen);
    trace::Expect(kind, edge, "HCTxPortReq", o.HCTxPortReq.read(), row.req);
    trace::Expect(kind, edge, "HCTxPortData", o.HCTxPortData.read(), row.data);
    trace::Expect(kind, edge, "HCTxPortCntl", o.HCTxPortCntl.read(), row.cntl);
}

int sc_main(int, char*[]) {
    sc_report_handler::set_actions(SC_INFO, SC_DO_NOTHING);
    sc_clock clk("clk", trace::Period(), 0.5, sc_time(5, SC_NS), true);
    sc_signal<bool> rst, directControlEn, HCTxPortGnt, HCTxPortRdy;
    sc_signal<sc_uint<2>> directControlLineState;
    Outputs<thread_kind::directControl> thread("thread");
    Outputs<method_kind::directControl> method("method");
    auto bind = [&](auto& dut) {
        dut.clk(clk);
        dut.rst(rst);
        dut.directControlEn(directControlEn);
        dut.HCTxPortGnt(HCTxPortGnt);
        dut.HCTxPortRdy(HCTxPortRdy);
        dut.directControlLineState(directControlLineState);
    };
    bind(thread.dut);
    bind(method.dut);
    int edge = 0;
    for (const Row& row : kTrace) {
        rst.write(row.rst);
        directControlEn.write(row.En);
        HCTxPortGnt.write(row.Gnt);
        HCTxPortRdy.write(row.Rdy);
        directControlLineState.write(row.lineState);
        sc_start(trace::Period());
        Check("thread", edge, thread, row);
        Check("method", edge, method, row);
        ++edge;
    }
    return trace::Finish("directcontrol");
}
