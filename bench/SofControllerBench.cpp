// The translated sofcontroller, driven with random inputs; the reset is
// raised about once in a thousand cycles.
#include "HdlModuleBench.h"

#include "bench_module.cpp"

SC_MODULE(Driver) {
    sc_in<bool> clk;
    sc_out<bool> rst, SOFEnable, HCTxPortRdy, SOFTimerClr, HCTxPortGnt;
    hdl_bench::Random random;

    void Drive() {
        const std::uint64_t bits = random.Next();
        rst.write((bits & 0x3FF) == 0);
        SOFEnable.write((bits >> 10 & 0xF) != 0);
        HCTxPortRdy.write(bits >> 14 & 1);
        SOFTimerClr.write((bits >> 15 & 0xFF) == 0);
        HCTxPortGnt.write(bits >> 23 & 1);
    }

    SC_CTOR(Driver) {
        SC_METHOD(Drive);
        sensitive << clk.neg();
        dont_initialize();
    }
};

int sc_main(int argc, char* argv[]) {
    sc_clock clk("clk", hdl_bench::Period(), 0.5, sc_time(5, SC_NS), true);
    sc_signal<bool> rst, SOFEnable, HCTxPortRdy, SOFTimerClr, HCTxPortGnt, HCTxPortWEn, HCTxPortReq;
    sc_signal<sc_uint<16>> SOFTimer;
    sc_signal<sc_uint<8>> HCTxPortData, HCTxPortCntl;
    Driver driver("driver");
    driver.clk(clk);
    driver.rst(rst);
    driver.SOFEnable(SOFEnable);
    driver.HCTxPortRdy(HCTxPortRdy);
    driver.SOFTimerClr(SOFTimerClr);
    driver.HCTxPortGnt(HCTxPortGnt);
    SOFController dut("dut");
    dut.clk(clk);
    dut.rst(rst);
    dut.SOFEnable(SOFEnable);
    dut.HCTxPortRdy(HCTxPortRdy);
    dut.SOFTimerClr(SOFTimerClr);
    dut.HCTxPortGnt(HCTxPortGnt);
    dut.SOFTimer(SOFTimer);
    dut.HCTxPortWEn(HCTxPortWEn);
    dut.HCTxPortReq(HCTxPortReq);
    dut.HCTxPortData(HCTxPortData);
    dut.HCTxPortCntl(HCTxPortCntl);
    hdl_bench::Measure("sofcontroller " KESTROM_BENCH_PROCESS, hdl_bench::CyclesAsked(argc, argv));
    return 0;
}
