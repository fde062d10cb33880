// Test values of our own for the usbhostslave diagrams' macros.
`ifndef USB_SIE_H
`define USB_SIE_H
// line states
`define SE0 2'b00
`define ONE_ZERO 2'b11
// wire control
`define TRI_STATE 1'b0
`define DRIVE 1'b1
// transmit port control
`define TX_DIRECT_CONTROL 8'h00
`define TX_RESUME_START 8'h01
`define TX_PACKET_START 8'h02
`define TX_PACKET_STREAM 8'h03
`define TX_PACKET_STOP 8'h04
`define TX_IDLE 8'h05
`define TX_LS_KEEP_ALIVE 8'h06
// receive stream status
`define RX_PACKET_START 8'h00
`define RX_PACKET_STREAM 8'h01
`define RX_PACKET_STOP 8'h02
// byte control
`define DATA_START 8'h00
`define DATA_STOP 8'h01
`define DATA_STREAM 8'h02
`define DATA_BIT_STUFF_ERROR 8'h03
// status bits
`define CRC_ERROR_BIT 0
`define BIT_STUFF_ERROR_BIT 1
`define RX_OVERFLOW_BIT 2
`define NAK_RXED_BIT 3
`define STALL_RXED_BIT 4
`define ACK_RXED_BIT 5
`define DATA_SEQUENCE_BIT 7
// bit receiver states
`define IDLE_BIT_ST 2'b00
`define DATA_RECEIVE_BIT_ST 2'b01
`define WAIT_RESUME_ST 2'b10
`define RESUME_END_WAIT_ST 2'b11
`define MAX_CONSEC_SAME_BITS 4'h6
`define MAX_CONSEC_SAME_BITS_PLUS1 (`MAX_CONSEC_SAME_BITS + 4'h1)
`define RESUME_RX_WAIT_TIME 5'h14
`define HOST_TX_RESUME_TIME 16'd30000
`define SYNC_BYTE 8'h80
`endif
