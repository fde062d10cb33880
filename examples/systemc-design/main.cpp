// Two generated machines on one clock and one input: the toggle (a thread
// process) and the blinker (a method process) run side by side for a few
// cycles, and each cycle prints what they drive.
#include <systemc.h>

#include <cstdio>

#include "blinker.cpp"
#include "toggle.cpp"

int sc_main(int, char*[]) {
    sc_clock clock("clock", 10, SC_NS);
    sc_signal<int> go, q, led;

    Toggle toggle("toggle");
    toggle.clk(clock);
    toggle.go(go);
    toggle.q(q);

    Blinker blinker("blinker");
    blinker.clk(clock);
    blinker.go(go);
    blinker.led(led);

    const int inputs[] = {1, 1, 0, 1, 0, 0};
    for (int cycle = 0; cycle < 6; ++cycle) {
        go.write(inputs[cycle]);
        sc_start(10, SC_NS);
        std::printf("cycle %d: go=%d q=%d led=%d\n", cycle, inputs[cycle], q.read(), led.read());
    }
    return 0;
}
