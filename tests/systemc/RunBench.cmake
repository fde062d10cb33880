# One SystemC test: generate, compile, simulate. Called as
#   cmake -DSETTINGS=... -DASF=... -DPROCESS=thread|method -DBENCH=... -DWORK=... -P RunBench.cmake
# optionally with -DGEN_OPTIONS=a,b (more kestrom-gen options) and
# -DBENCH_DEFINES=X=1,Y=0 (macros for the bench).
include(${SETTINGS})
string(REPLACE "," ";" gen_options "${GEN_OPTIONS}")
set(bench_defines)
if(BENCH_DEFINES)
  string(REPLACE "," ";-D" bench_defines "-D${BENCH_DEFINES}")
endif()
set(ENV{SYSTEMC_DISABLE_COPYRIGHT_MESSAGE} 1)

if(NOT SYSTEMC_FOUND)
  message(FATAL_ERROR "SystemC not found (pkg-config systemc): install libsystemc-dev")
endif()

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
set(generated ${WORK}/generated_module.cpp)

execute_process(
  COMMAND ${KESTROM_GEN} --process ${PROCESS} ${gen_options} ${ASF} ${generated}
  RESULT_VARIABLE status ERROR_VARIABLE diagnostics)
if(diagnostics)
  message("kestrom-gen reported:\n${diagnostics}")
endif()
if(NOT status EQUAL 0)
  message(FATAL_ERROR "kestrom-gen --process ${PROCESS} ${ASF} failed (${status})")
endif()

if(PROCESS STREQUAL "method")
  set(expect_method 1)
else()
  set(expect_method 0)
endif()
# -O0: the simulation is tiny, and the compilation dominates the test's time.
execute_process(
  COMMAND ${CXX} -std=c++17 -O0 -Wall ${SYSTEMC_CFLAGS}
    -DKESTROM_EXPECT_METHOD=${expect_method} ${bench_defines}
    -I ${WORK} -I ${CMAKE_CURRENT_LIST_DIR}
    ${BENCH} -o ${WORK}/bench ${SYSTEMC_LDFLAGS}
  RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT status EQUAL 0)
  message(FATAL_ERROR
    "the module generated from ${ASF} (--process ${PROCESS}) does not compile against "
    "SystemC with its test bench ${BENCH}; generated file: ${generated}\n${output}")
endif()
if(output)
  message("compiler warnings:\n${output}")
endif()

execute_process(COMMAND ${WORK}/bench
  RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
message("${output}")
if(NOT status EQUAL 0)
  message(FATAL_ERROR
    "the module generated from ${ASF} (--process ${PROCESS}) does not behave like its "
    "diagram; generated file: ${generated}")
endif()
