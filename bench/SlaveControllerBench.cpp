// The translated slavecontroller, driven with random inputs: values that the
// conditions compare with (packet identifiers, status codes) come often
// enough for the machine to leave its idle states; the reset is raised about
// once in a thousand cycles.
#include "HdlModuleBench.h"

#include "bench_module.cpp"

SC_MODULE(Driver) {
    sc_in<bool> clk;
    sc_out<bool> rst, getPacketRdy, sendPacketRdy, RxTimeOut, bitStuffError, CRCError, SCGlobalEn,
        RxOverflow, RxDataWEn;
    sc_out<sc_uint<4>> USBEndPControlReg;
    sc_out<sc_uint<7>> USBTgtAddress;
    sc_out<sc_uint<8>> RxStatus, RxByte;
    hdl_bench::Random random;

    void Drive() {
        const std::uint64_t bits = random.Next();
        rst.write((bits & 0x3FF) == 0);
        getPacketRdy.write(bits >> 10 & 1);
        sendPacketRdy.write(bits >> 11 & 1);
        RxTimeOut.write((bits >> 12 & 7) == 0);
        bitStuffError.write((bits >> 15 & 15) == 0);
        CRCError.write((bits >> 19 & 15) == 0);
        SCGlobalEn.write((bits >> 23 & 7) != 0);
        RxOverflow.write((bits >> 26 & 15) == 0);
        RxDataWEn.write(bits >> 30 & 1);
        USBEndPControlReg.write(bits >> 31 & 0xF);
        USBTgtAddress.write(bits >> 35 & 1);
        RxStatus.write(bits >> 36 & 1);
        RxByte.write(bits >> 37 & 0xFF);
    }

    SC_CTOR(Driver) {
        SC_METHOD(Drive);
        sensitive << clk.neg();
        dont_initialize();
    }
};

int sc_main(int argc, char* argv[]) {
    sc_clock clk("clk", hdl_bench::Period(), 0.5, sc_time(5, SC_NS), true);
    sc_signal<bool> rst, getPacketRdy, sendPacketRdy, RxTimeOut, bitStuffError, CRCError,
        SCGlobalEn, RxOverflow, RxDataWEn;
    sc_signal<sc_uint<4>> USBEndPControlReg, USBEndP, sendPacketPID;
    sc_signal<sc_uint<7>> USBTgtAddress;
    sc_signal<sc_uint<8>> RxStatus, RxByte;
    sc_signal<bool> sendPacketWEn, NAKSent, endPMuxErrorsWEn, stallSent, SOFRxed, getPacketREn,
        transDone, clrEPRdy;
    sc_signal<sc_uint<2>> USBEndPNakTransTypeReg, USBEndPTransTypeReg;
    sc_signal<sc_uint<11>> frameNum;
    Driver driver("driver");
    slavecontroller dut("dut");
    driver.clk(clk);
    dut.clk(clk);
#define BIND_INPUT(name)                                                                           \
    driver.name(name);                                                                             \
    dut.name(name)
    BIND_INPUT(rst);
    BIND_INPUT(getPacketRdy);
    BIND_INPUT(sendPacketRdy);
    BIND_INPUT(RxTimeOut);
    BIND_INPUT(bitStuffError);
    BIND_INPUT(CRCError);
    BIND_INPUT(SCGlobalEn);
    BIND_INPUT(RxOverflow);
    BIND_INPUT(RxDataWEn);
    BIND_INPUT(USBEndPControlReg);
    BIND_INPUT(USBTgtAddress);
    BIND_INPUT(RxStatus);
    BIND_INPUT(RxByte);
#undef BIND_INPUT
    dut.sendPacketWEn(sendPacketWEn);
    dut.NAKSent(NAKSent);
    dut.USBEndP(USBEndP);
    dut.endPMuxErrorsWEn(endPMuxErrorsWEn);
    dut.USBEndPNakTransTypeReg(USBEndPNakTransTypeReg);
    dut.USBEndPTransTypeReg(USBEndPTransTypeReg);
    dut.stallSent(stallSent);
    dut.frameNum(frameNum);
    dut.SOFRxed(SOFRxed);
    dut.getPacketREn(getPacketREn);
    dut.sendPacketPID(sendPacketPID);
    dut.transDone(transDone);
    dut.clrEPRdy(clrEPRdy);
    hdl_bench::Measure("slavecontroller " KESTROM_BENCH_PROCESS,
                       hdl_bench::CyclesAsked(argc, argv));
    return 0;
}
