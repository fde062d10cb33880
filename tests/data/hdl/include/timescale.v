// Test values of our own for the usbhostslave diagrams' include files.
`timescale 1ns / 1ps
