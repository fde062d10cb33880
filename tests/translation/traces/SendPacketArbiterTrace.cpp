// sendpacketarbiter, worked out by hand from the diagram: the grant goes to
// the SOF request first when both ask (priority 1 over 2), and the diagram
// action's multiplexer follows muxSOFNotHC after each edge and the inputs
// between edges. `SOF is 4'h5 in the test include file.
#include "TraceHarness.h"

namespace thread_kind {
#include "sendpacketarbiter_thread.cpp"
}
namespace method_kind {
#include "sendpacketarbiter_method.cpp"
}

template <typename Module> struct Outputs {
    sc_signal<bool> HCTxGnt, SOFTxGnt, sendPacketWEnable;
    sc_signal<sc_uint<4>> sendPacketPID;
    Module dut;
    explicit Outputs(const char* name) : dut(name) {
        dut.HCTxGnt(HCTxGnt);
        dut.SOFTxGnt(SOFTxGnt);
        dut.sendPacketWEnable(sendPacketWEnable);
        dut.sendPacketPID(sendPacketPID);
    }
};

enum class S { HC_ACT, SOF_ACT, SARB_WAIT_REQ, START_SARB };

struct Row {
    bool rst, SOFTxReq, HCTxReq;
    unsigned HC_PID;
    bool HC_SP_WEn, SOF_SP_WEn;
    S state;
    bool sofGnt, hcGnt, wen;
    unsigned pid;
};

const Row kTrace[] = {
    {1, 0, 0, 3, 1, 0, S::START_SARB, 0, 0, 1, 3}, // reset; the mux passes the HC side
    {0, 0, 0, 3, 0, 0, S::SARB_WAIT_REQ, 0, 0, 0, 3},
    {0, 1, 1, 9, 1, 0, S::SOF_ACT, 1, 0, 0, 5},        // both ask: SOF first; mux to SOF
    {0, 1, 0, 9, 0, 1, S::SOF_ACT, 1, 0, 1, 5},        // stays while SOFTxReq
    {0, 0, 1, 10, 1, 1, S::SARB_WAIT_REQ, 0, 0, 1, 5}, // released; muxSOFNotHC keeps 1
    {0, 0, 1, 10, 1, 0, S::HC_ACT, 0, 1, 1, 10},       // HC granted, mux to HC
    {0, 0, 1, 12, 0, 0, S::HC_ACT, 0, 1, 0, 12},
    {0, 1, 0, 12, 0, 0, S::SARB_WAIT_REQ, 0, 0, 0, 12}, // HC_ACT looks at HCTxReq only
    {0, 1, 0, 12, 0, 1, S::SOF_ACT, 1, 0, 1, 5},
    {1, 1, 0, 2, 1, 0, S::START_SARB, 0, 0, 1, 2}, // reset: START_SARB's entry actions
};

template <typename Module>
void Check(const char* kind, int edge, const Outputs<Module>& o, S state, bool sofGnt, bool hcGnt,
           bool wen, unsigned pid) {
    using State = typename Module::State;
    const State expected = state == S::HC_ACT          ? State::HC_ACT
                           : state == S::SOF_ACT       ? State::SOF_ACT
                           : state == S::SARB_WAIT_REQ ? State::SARB_WAIT_REQ
                                                       : State::START_SARB;
    trace::Expect(kind, edge, "the state", static_cast<int>(o.dut.CurrentState),
                  static_cast<int>(expected));
    trace::Expect(kind, edge, "SOFTxGnt", o.SOFTxGnt.read(), sofGnt);
    trace::Expect(kind, edge, "HCTxGnt", o.HCTxGnt.read(), hcGnt);
    trace::Expect(kind, edge, "sendPacketWEnable", o.sendPacketWEnable.read(), wen);
    trace::Expect(kind, edge, "sendPacketPID", o.sendPacketPID.read(), pid);
}

int sc_main(int, char*[]) {
    sc_report_handler::set_actions(SC_INFO, SC_DO_NOTHING);
    sc_clock clk("clk", trace::Period(), 0.5, sc_time(5, SC_NS), true);
    sc_signal<bool> rst, SOFTxReq, HCTxReq, HC_SP_WEn, SOF_SP_WEn;
    sc_signal<sc_uint<4>> HC_PID;
    Outputs<thread_kind::sendPacketArbiter> thread("thread");
    Outputs<method_kind::sendPacketArbiter> method("method");
    auto bind = [&](auto& dut) {
        dut.clk(clk);
        dut.rst(rst);
        dut.SOFTxReq(SOFTxReq);
        dut.HCTxReq(HCTxReq);
        dut.HC_PID(HC_PID);
        dut.HC_SP_WEn(HC_SP_WEn);
        dut.SOF_SP_WEn(SOF_SP_WEn);
    };
    bind(thread.dut);
    bind(method.dut);
    int edge = 0;
    for (const Row& row : kTrace) {
        rst.write(row.rst);
        SOFTxReq.write(row.SOFTxReq);
        HCTxReq.write(row.HCTxReq);
        HC_PID.write(row.HC_PID);
        HC_SP_WEn.write(row.HC_SP_WEn);
        SOF_SP_WEn.write(row.SOF_SP_WEn);
        sc_start(trace::Period());
        Check("thread", edge, thread, row.state, row.sofGnt, row.hcGnt, row.wen, row.pid);
        Check("method", edge, method, row.state, row.sofGnt, row.hcGnt, row.wen, row.pid);
        ++edge;
    }
    // Between edges the multiplexer follows its inputs at once.
    HC_PID.write(7);
    HC_SP_WEn.write(false);
    sc_start(sc_time(2, SC_NS));
    Check("thread", edge, thread, S::START_SARB, 0, 0, 0, 7);
    Check("method", edge, method, S::START_SARB, 0, 0, 0, 7);
    return trace::Finish("sendpacketarbiter");
}
