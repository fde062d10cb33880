// sofcontroller with its Reset object flagged asynchronous, worked out by
// hand: a reset raised between two edges takes effect at once (state and
// START_SC's entry actions), holds through the edges while it stays, and
// the machine goes on at the first edge after it is released.
#include "TraceHarness.h"

namespace thread_kind {
#include "sofcontroller_async_thread.cpp"
}
namespace method_kind {
#include "sofcontroller_async_method.cpp"
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

enum class S { START_SC, WAIT_SOF_EN, SC_WAIT_GNT };

template <typename Module>
void Check(const char* kind, int step, const Outputs<Module>& o, S state, bool req) {
    using State = typename Module::State;
    const State states[] = {State::START_SC, State::WAIT_SOF_EN, State::SC_WAIT_GNT};
    trace::Expect(kind, step, "the state", static_cast<int>(o.dut.CurrentState),
                  static_cast<int>(states[static_cast<int>(state)]));
    trace::Expect(kind, step, "HCTxPortReq", o.HCTxPortReq.read(), req);
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
    // step: what to drive, how long to run, what to find then
    struct Step {
        bool rst, enable;
        int ns;
        S state;
        bool req;
    };
    // Rising edges at 5, 15, 25, ... ns; the machine starts in START_SC.
    const Step steps[] = {
        {0, 1, 10, S::WAIT_SOF_EN, 0}, // 10 ns, after the edge at 5: unconditional
        {0, 1, 10, S::SC_WAIT_GNT, 1}, // 20 ns: SOFEnable, Req <= 1
        {0, 1, 2, S::SC_WAIT_GNT, 1},  // 22 ns: nothing between edges
        {1, 1, 1, S::START_SC, 0},     // 23 ns: the reset, raised, takes effect at once
        {1, 1, 1, S::START_SC, 0},     // 24 ns
        {1, 1, 10, S::START_SC, 0},    // 34 ns: the edge at 25 while it holds
        {0, 1, 10, S::WAIT_SOF_EN, 0}, // 44 ns: released, the edge at 35 goes on
        {0, 1, 10, S::SC_WAIT_GNT, 1}, // 54 ns
    };
    int step = 0;
    for (const Step& s : steps) {
        rst.write(s.rst);
        SOFEnable.write(s.enable);
        sc_start(sc_time(s.ns, SC_NS));
        Check("thread", step, thread, s.state, s.req);
        Check("method", step, method, s.state, s.req);
        ++step;
    }
    return trace::Finish("sofcontroller with an asynchronous reset");
}
