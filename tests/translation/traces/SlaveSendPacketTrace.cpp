// slaveSendpacket (1.19), worked out by hand from the diagram: into
// SP_SEND_PID through its Entry, out through its Exit on to the parent's
// transitions (priority 1 for a data packet, else priority 2), the FIFO loop
// of SP_D0_D1, and PIDNotPID, a signal the diagram action drives from PID and
// a transition action reads. `DATA0 is 4'h3, `TX_PACKET_START 8'h02,
// `TX_PACKET_STREAM 8'h03 and `TX_PACKET_STOP 8'h04 in the test include files.
#include "TraceHarness.h"

namespace thread_kind {
#include "slaveSendpacket_thread.cpp"
}
namespace method_kind {
#include "slaveSendpacket_method.cpp"
}

template <typename Module> struct Outputs {
    sc_signal<bool> sendPacketRdy, fifoReadEn, SCTxPortWEn, SCTxPortReq;
    sc_signal<sc_uint<8>> SCTxPortCntl, SCTxPortData;
    Module dut;
    explicit Outputs(const char* name) : dut(name) {
        dut.sendPacketRdy(sendPacketRdy);
        dut.fifoReadEn(fifoReadEn);
        dut.SCTxPortWEn(SCTxPortWEn);
        dut.SCTxPortReq(SCTxPortReq);
        dut.SCTxPortCntl(SCTxPortCntl);
        dut.SCTxPortData(SCTxPortData);
    }
};

enum class S {
    START,
    WAIT_ENABLE,
    WAIT_GNT,
    PID_RDY,
    PID_FIN,
    EMPTY,
    WAIT_READ,
    CLR_REN,
    READ,
    CLR_WEN,
    TERM,
    DATA_FIN,
    FIN_SP1,
    NOT_DATA
};

struct Row {
    bool rst, sendWEn;
    unsigned pid;
    bool gnt, rdy, empty;
    unsigned fifo;
    S state;
    bool sendRdy, readEn, wen, req;
    unsigned cntl, data;
};

const Row kTrace[] = {
    {1, 0, 0, 0, 0, 1, 0, S::START, 1, 0, 0, 0, 0, 0},
    {0, 0, 0, 0, 0, 1, 0, S::WAIT_ENABLE, 1, 0, 0, 0, 0, 0},
    {0, 0, 3, 1, 1, 1, 0, S::WAIT_ENABLE, 1, 0, 0, 0, 0, 0},
    {0, 1, 3, 0, 0, 1, 0, S::WAIT_GNT, 0, 0, 0, 1, 0, 0},
    {0, 0, 3, 1, 0, 1, 0, S::PID_RDY, 0, 0, 0, 1, 0, 0}, // entered through the Entry
    {0, 0, 3, 0, 0, 1, 0, S::PID_RDY, 0, 0, 0, 1, 0, 0},
    {0, 0, 3, 0, 1, 1, 0, S::PID_FIN, 0, 0, 1, 1, 2, 0xC3}, // PIDNotPID = {~PID, PID}
    {0, 0, 3, 0, 0, 1, 0, S::EMPTY, 0, 0, 0, 1, 2, 0xC3},   // out: DATA0, priority 1
    {0, 0, 3, 0, 0, 0, 0, S::WAIT_READ, 0, 0, 0, 1, 2, 0xC3},
    {0, 0, 3, 0, 0, 0, 0, S::WAIT_READ, 0, 0, 0, 1, 2, 0xC3},
    {0, 0, 3, 0, 1, 0, 0, S::CLR_REN, 0, 1, 0, 1, 2, 0xC3},
    {0, 0, 3, 0, 0, 0, 0, S::READ, 0, 0, 0, 1, 2, 0xC3},
    {0, 0, 3, 0, 0, 0, 0x5A, S::CLR_WEN, 0, 0, 1, 1, 3, 0x5A}, // READ_FIFO's state actions
    {0, 0, 3, 0, 0, 0, 0, S::EMPTY, 0, 0, 0, 1, 3, 0x5A},
    {0, 0, 3, 0, 0, 1, 0, S::TERM, 0, 0, 0, 1, 3, 0x5A}, // empty: priority 2
    {0, 0, 3, 0, 0, 1, 0, S::TERM, 0, 0, 0, 1, 3, 0x5A},
    {0, 0, 3, 0, 1, 1, 0, S::DATA_FIN, 0, 0, 1, 1, 4, 0},
    {0, 0, 3, 0, 0, 1, 0, S::FIN_SP1, 0, 0, 0, 1, 4, 0}, // out through the Exit
    {0, 0, 3, 0, 0, 1, 0, S::WAIT_ENABLE, 1, 0, 0, 0, 4, 0},
    {0, 1, 10, 0, 0, 1, 0, S::WAIT_GNT, 0, 0, 0, 1, 4, 0},
    {0, 0, 10, 1, 0, 1, 0, S::PID_RDY, 0, 0, 0, 1, 4, 0},
    {0, 0, 10, 0, 1, 1, 0, S::PID_FIN, 0, 0, 1, 1, 2, 0x5A},
    {0, 0, 10, 0, 0, 1, 0, S::NOT_DATA, 0, 0, 0, 1, 2, 0x5A}, // no data packet: priority 2
    {0, 0, 10, 0, 0, 1, 0, S::FIN_SP1, 0, 0, 0, 1, 2, 0x5A},
    {0, 0, 10, 0, 0, 1, 0, S::WAIT_ENABLE, 1, 0, 0, 0, 2, 0x5A},
    {1, 1, 10, 1, 1, 0, 0, S::START, 1, 0, 0, 0, 0, 0},
};

template <typename Module>
void Check(const char* kind, int edge, const Outputs<Module>& o, const Row& row) {
    using State = typename Module::State;
    const State states[] = {State::START_SP1,
                            State::SP_WAIT_ENABLE,
                            State::SP1_WAIT_GNT,
                            State::SP_SEND_PID_WAIT_RDY,
                            State::SP_SEND_PID_FIN,
                            State::SP_D0_D1_FIFO_EMPTY,
                            State::SP_D0_D1_WAIT_READ_FIFO,
                            State::SP_D0_D1_CLR_REN,
                            State::SP_D0_D1_READ_FIFO,
                            State::SP_D0_D1_CLR_WEN,
                            State::SP_D0_D1_TERM_BYTE,
                            State::SP_D0_D1_FIN,
                            State::FIN_SP1,
                            State::SP_NOT_DATA};
    trace::Expect(kind, edge, "the state", static_cast<int>(o.dut.CurrentState),
                  static_cast<int>(states[static_cast<int>(row.state)]));
    trace::Expect(kind, edge, "sendPacketRdy", o.sendPacketRdy.read(), row.sendRdy);
    trace::Expect(kind, edge, "fifoReadEn", o.fifoReadEn.read(), row.readEn);
    trace::Expect(kind, edge, "SCTxPortWEn", o.SCTxPortWEn.read(), row.wen);
    trace::Expect(kind, edge, "SCTxPortReq", o.SCTxPortReq.read(), row.req);
    trace::Expect(kind, edge, "SCTxPortCntl", o.SCTxPortCntl.read(), row.cntl);
    trace::Expect(kind, edge, "SCTxPortData", o.SCTxPortData.read(), row.data);
}

int sc_main(int, char*[]) {
    sc_report_handler::set_actions(SC_INFO, SC_DO_NOTHING);
    sc_clock clk("clk", trace::Period(), 0.5, sc_time(5, SC_NS), true);
    sc_signal<bool> rst, sendPacketWEn, SCTxPortGnt, SCTxPortRdy, fifoEmpty;
    sc_signal<sc_uint<4>> PID;
    sc_signal<sc_uint<8>> fifoData;
    Outputs<thread_kind::slaveSendPacket> thread("thread");
    Outputs<method_kind::slaveSendPacket> method("method");
    auto bind = [&](auto& dut) {
        dut.clk(clk);
        dut.rst(rst);
        dut.sendPacketWEn(sendPacketWEn);
        dut.PID(PID);
        dut.SCTxPortGnt(SCTxPortGnt);
        dut.SCTxPortRdy(SCTxPortRdy);
        dut.fifoEmpty(fifoEmpty);
        dut.fifoData(fifoData);
    };
    bind(thread.dut);
    bind(method.dut);
    int edge = 0;
    for (const Row& row : kTrace) {
        rst.write(row.rst);
        sendPacketWEn.write(row.sendWEn);
        PID.write(row.pid);
        SCTxPortGnt.write(row.gnt);
        SCTxPortRdy.write(row.rdy);
        fifoEmpty.write(row.empty);
        fifoData.write(row.fifo);
        sc_start(trace::Period());
        Check("thread", edge, thread, row);
        Check("method", edge, method, row);
        ++edge;
    }
    return trace::Finish("slaveSendpacket");
}
