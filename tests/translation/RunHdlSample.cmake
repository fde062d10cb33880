# One real diagram through --hdl in both process kinds: generate the module
# and its test bench, compile them against SystemC, run them with the same
# seed, and require the same report and the same waveform from both. Called as
#   cmake -DSETTINGS=... -DASF=... -DINCLUDE=... -DWORK=... -P RunHdlSample.cmake
include(${CMAKE_CURRENT_LIST_DIR}/HdlRunSetup.cmake)
if(HDL_DIAGRAM_MISSING)
  return()
endif()

file(REMOVE_RECURSE ${WORK})
foreach(process IN ITEMS thread method)
  set(dir ${WORK}/${process})
  file(MAKE_DIRECTORY ${dir})
  execute_process(
    COMMAND ${KESTROM_GEN} --hdl -I ${INCLUDE} --process ${process}
      --testbench ${dir}/bench.cpp --cycles 400 --seed 7 ${ASF} ${dir}/module.cpp
    RESULT_VARIABLE status ERROR_VARIABLE diagnostics)
  if(diagnostics)
    message("kestrom-gen reported:\n${diagnostics}")
  endif()
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "kestrom-gen --hdl --process ${process} ${ASF} failed (${status})")
  endif()
  execute_process(
    COMMAND ${CXX} -std=c++17 -O0 -Wall ${SYSTEMC_CFLAGS} ${dir}/bench.cpp -o ${dir}/bench
      ${SYSTEMC_LDFLAGS}
    RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "the module translated from ${ASF} (--process ${process}) does not "
      "compile with its test bench; files in ${dir}\n${output}")
  endif()
  if(output)
    message("compiler warnings (${process}):\n${output}")
  endif()
  execute_process(COMMAND ${dir}/bench WORKING_DIRECTORY ${dir}
    RESULT_VARIABLE status OUTPUT_VARIABLE report_${process} ERROR_VARIABLE errors)
  message("${process}:\n${report_${process}}${errors}")
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "the test bench of ${ASF} (--process ${process}) failed (${status})")
  endif()
  file(GLOB vcd ${dir}/*.vcd)
  if(NOT vcd)
    message(FATAL_ERROR "the test bench of ${ASF} (--process ${process}) wrote no waveform")
  endif()
  file(READ ${vcd} wave)
  # The header holds the date; the values follow the definitions.
  string(FIND "${wave}" "$enddefinitions" body_start)
  string(SUBSTRING "${wave}" ${body_start} -1 wave_${process})
endforeach()

if(NOT report_thread STREQUAL report_method)
  message(FATAL_ERROR "the thread and the method module of ${ASF} cover different states or "
    "transitions on the same inputs")
endif()
if(NOT wave_thread STREQUAL wave_method)
  message(FATAL_ERROR "the thread and the method module of ${ASF} give different waveforms "
    "on the same inputs; compare ${WORK}/thread and ${WORK}/method")
endif()
