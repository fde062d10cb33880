// Test values of our own for the slave controller.
`define ENDPOINT_ENABLE_BIT 0
`define ENDPOINT_READY_BIT 1
`define ENDPOINT_OUTDATA_SEQUENCE_BIT 2
`define ENDPOINT_SEND_STALL_BIT 3
`define SC_SETUP_TRANS 2'b00
`define SC_IN_TRANS 2'b01
`define SC_OUTDATA_TRANS 2'b10
`define NUM_OF_ENDPOINTS 4
