# kestrom_add_systemc_fsm(<target> <file.asf> [PROCESS thread|method] [OPTIONS ...])
#
# Generates the SystemC module drawn in <file.asf> at build time, into
# <build dir>/kestrom_fsm/<target>/<file>.cpp, again whenever the ASF file
# changes. The generated file is one whole module (class and fsm_run), so one
# source of <target> includes it: #include "<file>.cpp". The target gets that
# folder on its include path and the file among its sources. PROCESS is
# thread when not given; OPTIONS go to kestrom-gen as they are. A diagram that
# cannot be generated fails the build with kestrom-gen's diagnostics.
function(kestrom_add_systemc_fsm target asf)
  cmake_parse_arguments(PARSE_ARGV 2 KESTROM "" "PROCESS" "OPTIONS")
  if(KESTROM_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "kestrom_add_systemc_fsm: unknown arguments ${KESTROM_UNPARSED_ARGUMENTS}")
  endif()
  if(NOT TARGET ${target})
    message(FATAL_ERROR "kestrom_add_systemc_fsm: ${target} is not a target")
  endif()
  if(NOT KESTROM_PROCESS)
    set(KESTROM_PROCESS thread)
  elseif(NOT KESTROM_PROCESS MATCHES "^(thread|method)$")
    message(FATAL_ERROR "kestrom_add_systemc_fsm: PROCESS is thread or method, not ${KESTROM_PROCESS}")
  endif()

  get_filename_component(input "${asf}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
  get_filename_component(name "${asf}" NAME_WE)
  set(dir "${CMAKE_CURRENT_BINARY_DIR}/kestrom_fsm/${target}")
  set(output "${dir}/${name}.cpp")
  add_custom_command(OUTPUT "${output}"
    COMMAND "${CMAKE_COMMAND}" -E make_directory "${dir}"
    COMMAND Kestrom::kestrom-gen --process ${KESTROM_PROCESS} ${KESTROM_OPTIONS} "${input}" "${output}"
    DEPENDS "${input}" Kestrom::kestrom-gen
    COMMENT "Generating the SystemC module of ${asf}"
    VERBATIM)
  set_source_files_properties("${output}" PROPERTIES HEADER_FILE_ONLY ON GENERATED ON)
  target_sources(${target} PRIVATE "${output}")
  target_include_directories(${target} PRIVATE "${dir}")
endfunction()
