# What the real-diagram scripts do first: read the build's settings, quiet
# SystemC's banner, and tell whether the diagram is there to run
# (HDL_DIAGRAM_MISSING: the caller returns, reported as skipped).
include(${SETTINGS})
set(ENV{SYSTEMC_DISABLE_COPYRIGHT_MESSAGE} 1)
set(HDL_DIAGRAM_MISSING FALSE)
if(NOT EXISTS ${ASF})
  message("SKIPPED: ${ASF} is not there (the shared samples folder is read from beside "
    "the checkout)")
  set(HDL_DIAGRAM_MISSING TRUE)
elseif(NOT SYSTEMC_FOUND)
  message(FATAL_ERROR "SystemC not found (pkg-config systemc): install libsystemc-dev")
endif()
