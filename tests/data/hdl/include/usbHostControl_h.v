// Test values of our own for the host controller.
`ifdef SIM_SOF_TIME
`define SOF_TX_TIME 16'h0100
`else
`define SOF_TX_TIME 16'hbb80
`endif
`define SOF_TX_MARGIN 16'h0010
`define SOF_CTRL_MUX 2'b00
`define DIRECT_CTRL_MUX 2'b01
`define SEND_PACKET_MUX 2'b10
