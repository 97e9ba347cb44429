# Runs one conformance script and compares what it printed with the files
# beside it. Invoked by CTest as: cmake -DVBSRUN=... -DSCRIPT=... -DWORKDIR=... -P run_case.cmake
cmake_minimum_required(VERSION 3.25)

get_filename_component(_dir ${SCRIPT} DIRECTORY)
get_filename_component(_name ${SCRIPT} NAME_WE)
get_filename_component(_file ${SCRIPT} NAME)
set(_base ${_dir}/${_name})

# A fresh working folder per script: file tests create their files there,
# and find the data files of NAME.files/ copied in.
file(REMOVE_RECURSE ${WORKDIR})
file(MAKE_DIRECTORY ${WORKDIR})
if(IS_DIRECTORY ${_base}.files)
  file(GLOB _data ${_base}.files/*)
  file(COPY ${_data} DESTINATION ${WORKDIR})
endif()

set(_args)
if(EXISTS ${_base}.args)
  file(STRINGS ${_base}.args _args)
endif()
set(_input)
if(EXISTS ${_base}.in)
  set(_input INPUT_FILE ${_base}.in)
endif()

execute_process(
  COMMAND ${VBSRUN} ${SCRIPT} ${_args}
  WORKING_DIRECTORY ${WORKDIR}
  ${_input}
  OUTPUT_VARIABLE _out
  ERROR_VARIABLE _err
  RESULT_VARIABLE _rc
  TIMEOUT 100)

# Line ends may be CR LF or LF; scripts that care about CR make it visible.
# The runner may name the script by its full path or by its file name.
function(normalize var)
  set(_t "${${var}}")
  string(REPLACE "\r\n" "\n" _t "${_t}")
  string(REPLACE "${SCRIPT}" "${_file}" _t "${_t}")
  set(${var} "${_t}" PARENT_SCOPE)
endfunction()

set(_failed FALSE)

function(compare what expected actual)
  normalize(expected)
  normalize(actual)
  if(NOT expected STREQUAL actual)
    file(WRITE ${WORKDIR}/expected.${what} "${expected}")
    file(WRITE ${WORKDIR}/actual.${what} "${actual}")
    find_program(_diff diff)
    if(_diff)
      execute_process(COMMAND ${_diff} -u expected.${what} actual.${what}
                      WORKING_DIRECTORY ${WORKDIR} OUTPUT_VARIABLE _d)
      message("${what} differs (- expected, + actual):\n${_d}")
    else()
      message("${what} differs.\n--- expected:\n${expected}\n--- actual:\n${actual}")
    endif()
    set(_failed TRUE PARENT_SCOPE)
  endif()
endfunction()

file(READ ${_base}.out _expected_out)
compare(stdout "${_expected_out}" "${_out}")

set(_expected_err "")
if(EXISTS ${_base}.err)
  file(READ ${_base}.err _expected_err)
endif()
compare(stderr "${_expected_err}" "${_err}")

set(_expected_rc 0)
if(EXISTS ${_base}.exitcode)
  file(STRINGS ${_base}.exitcode _expected_rc LIMIT_COUNT 1)
  string(STRIP "${_expected_rc}" _expected_rc)
endif()
# "nonzero" stands for any failure code: its value is the runner's choice.
if(_expected_rc STREQUAL "nonzero")
  if("${_rc}" STREQUAL "0" OR NOT "${_rc}" MATCHES "^[0-9]+$")
    message("exit code: expected a failure code, got ${_rc}")
    set(_failed TRUE)
  endif()
elseif(NOT "${_rc}" STREQUAL "${_expected_rc}")
  message("exit code: expected ${_expected_rc}, got ${_rc}")
  set(_failed TRUE)
endif()

if(_failed)
  message(FATAL_ERROR "${_file} does not behave as VBScript does")
endif()
