// sofcontroller, worked out by hand from the diagram: reset, the way to a
// resume request, the timer counting, cleared, and the return on SOFEnable
// low, where the transition's clear wins over the state's increment.
#include "TraceHarness.h"

namespace thread_kind {
#include "sofcontroller_thread.cpp"
}
namespace method_kind {
#include "sofcontroller_method.cpp"
}

template <typename Module> struct Outputs {
    sc_signal<sc_uint<16>> SOFTimer;
    sc_signal<bool> HCTxPortWEn, HCTxPortReq;
    sc_signal<sc_uint<8>> HCTxPortData, HCTxPortCntl;
    Module dut;
    explicit Outputs(const char* name) : dut(name) {
        dut.SOFTimer(SOFTimer);
        dut.HCTxPortWEn(HCTxPortWEn);
        dut.HCTxPortReq(HCTxPortReq);
        dut.HCTxPortData(HCTxPortData);
        dut.HCTxPortCntl(HCTxPortCntl);
    }
};

struct Row {
    bool rst, SOFEnable, HCTxPortGnt, HCTxPortRdy, SOFTimerClr;
    const char* state;
    unsigned timer;
    bool req, wen;
    unsigned data, cntl;
};

// TX_RESUME_START is 8'h01 in the test include file.
const Row kTrace[] = {
    {1, 0, 0, 0, 0, "START_SC", 0, 0, 0, 0, 0},    // reset: START_SC's entry actions
    {0, 0, 0, 0, 0, "WAIT_SOF_EN", 0, 0, 0, 0, 0}, // unconditional
    {0, 0, 1, 1, 0, "WAIT_SOF_EN", 0, 0, 0, 0, 0}, // SOFEnable low: stays
    {0, 1, 0, 0, 0, "SC_WAIT_GNT", 0, 1, 0, 0, 0}, // transition action HCTxPortReq <= 1
    {0, 1, 0, 1, 0, "SC_WAIT_GNT", 0, 1, 0, 0, 0}, // no grant: stays
    {0, 1, 1, 0, 0, "WAIT_SEND_RESUME", 0, 1, 0, 0, 0},
    {0, 1, 1, 0, 0, "WAIT_SEND_RESUME", 0, 1, 0, 0, 0}, // not ready: stays
    {0, 1, 1, 1, 0, "CLR_WEN", 0, 1, 1, 0, 1},          // WEn, Data, Cntl written
    {0, 1, 1, 1, 0, "INC_TIMER", 0, 1, 0, 0, 1},        // CLR_WEN's state action
    {0, 1, 1, 1, 0, "INC_TIMER", 1, 0, 0, 0, 1},        // INC_TIMER counts, Req cleared
    {0, 1, 0, 0, 0, "INC_TIMER", 2, 0, 0, 0, 1},
    {0, 1, 0, 0, 1, "INC_TIMER", 0, 0, 0, 0, 1}, // SOFTimerClr
    {0, 1, 0, 0, 0, "INC_TIMER", 1, 0, 0, 0, 1},
    {0, 1, 0, 0, 0, "INC_TIMER", 2, 0, 0, 0, 1},
    {0, 0, 0, 0, 0, "WAIT_SOF_EN", 0, 0, 0, 0, 1}, // +1 then the transition's clear wins
    {0, 0, 0, 0, 0, "WAIT_SOF_EN", 0, 0, 0, 0, 1},
    {0, 1, 0, 0, 0, "SC_WAIT_GNT", 0, 1, 0, 0, 1},
    {1, 1, 1, 1, 0, "START_SC", 0, 0, 0, 0, 0}, // reset in the middle
};

template <typename Module>
void Check(const char* kind, int edge, const Outputs<Module>& o, const Row& row) {
    const std::string state = row.state;
    const auto& m = o.dut;
    using State = typename Module::State;
    const State expected = state == "START_SC"           ? State::START_SC
                           : state == "WAIT_SOF_EN"      ? State::WAIT_SOF_EN
                           : state == "SC_WAIT_GNT"      ? State::SC_WAIT_GNT
                           : state == "WAIT_SEND_RESUME" ? State::WAIT_SEND_RESUME
                           : state == "CLR_WEN"          ? State::CLR_WEN
                                                         : State::INC_TIMER;
    trace::Expect(kind, edge, "the state", static_cast<int>(m.CurrentState),
                  static_cast<int>(expected));
    trace::Expect(kind, edge, "SOFTimer", o.SOFTimer.read(), row.timer);
    trace::Expect(kind, edge, "HCTxPortReq", o.HCTxPortReq.read(), row.req);
    trace::Expect(kind, edge, "HCTxPortWEn", o.HCTxPortWEn.read(), row.wen);
    trace::Expect(kind, edge, "HCTxPortData", o.HCTxPortData.read(), row.data);
    trace::Expect(kind, edge, "HCTxPortCntl", o.HCTxPortCntl.read(), row.cntl);
}

int sc_main(int, char*[]) {
    sc_report_handler::set_actions(SC_INFO, SC_DO_NOTHING);
    sc_clock clk("clk", trace::Period(), 0.5, sc_time(5, SC_NS), true);
    sc_signal<bool> rst, SOFEnable, HCTxPortGnt, HCTxPortRdy, SOFTimerClr;
    Outputs<thread_kind::SOFController> thread("thread");
    Outputs<method_kind::SOFController> method("method");
    auto bind = [&](auto& dut) {
        dut.clk(clk);
        dut.rst(rst);
        dut.SOFEnable(SOFEnable);
        dut.HCTxPortGnt(HCTxPortGnt);
        dut.HCTxPortRdy(HCTxPortRdy);
        dut.SOFTimerClr(SOFTimerClr);
    };
    bind(thread.dut);
    bind(method.dut);
    int edge = 0;
    for (const Row& row : kTrace) {
        rst.write(row.rst);
        SOFEnable.write(row.SOFEnable);
        HCTxPortGnt.write(row.HCTxPortGnt);
        HCTxPortRdy.write(row.HCTxPortRdy);
        SOFTimerClr.write(row.SOFTimerClr);
        sc_start(trace::Period());
        Check("thread", edge, thread, row);
        Check("method", edge, method, row);
        ++edge;
    }
    return trace::Finish("sofcontroller");
}
