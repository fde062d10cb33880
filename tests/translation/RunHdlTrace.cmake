# A hand-worked trace: the diagram translated with --hdl in both process
# kinds (NAME_thread.cpp, NAME_method.cpp), compiled into the trace program,
# which checks both modules after every rising edge. Called as
#   cmake -DSETTINGS=... -DASF=... -DINCLUDE=... -DNAME=... -DTRACE=... -DWORK=... -P RunHdlTrace.cmake
include(${CMAKE_CURRENT_LIST_DIR}/HdlRunSetup.cmake)
if(HDL_DIAGRAM_MISSING)
  return()
endif()

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
foreach(process IN ITEMS thread method)
  execute_process(
    COMMAND ${KESTROM_GEN} --hdl -I ${INCLUDE} --process ${process} ${ASF}
      ${WORK}/${NAME}_${process}.cpp
    RESULT_VARIABLE status ERROR_VARIABLE diagnostics)
  if(diagnostics)
    message("kestrom-gen reported:\n${diagnostics}")
  endif()
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "kestrom-gen --hdl --process ${process} ${ASF} failed (${status})")
  endif()
endforeach()

get_filename_component(trace_dir ${TRACE} DIRECTORY)
execute_process(
  COMMAND ${CXX} -std=c++17 -O0 -Wall ${SYSTEMC_CFLAGS} -I ${WORK} -I ${trace_dir} ${TRACE}
    -o ${WORK}/trace ${SYSTEMC_LDFLAGS}
  RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the trace ${TRACE} does not compile with the modules in ${WORK}\n${output}")
endif()
execute_process(COMMAND ${WORK}/trace WORKING_DIRECTORY ${WORK}
  RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
message("${output}")
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the modules translated from ${ASF} do not follow the trace ${TRACE}")
endif()
