# Compares the dynamic symbols a shared library defines with a list.
# -DLIBRARY=path -DEXPECTED=file with one symbol per line ('#' comments).
find_program(NM nm REQUIRED)
execute_process(COMMAND ${NM} -D --defined-only ${LIBRARY}
  OUTPUT_VARIABLE out RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "nm failed on ${LIBRARY}")
endif()
string(REPLACE "\n" ";" lines "${out}")
set(actual "")
foreach(line IN LISTS lines)
  # "address type name"; weak and absolute symbols of the toolchain are
  # not part of the interface.
  if(line MATCHES "^[0-9a-f]+ ([A-Za-z]) ([^ @]+)")
    set(type ${CMAKE_MATCH_1})
    set(name ${CMAKE_MATCH_2})
    if(type MATCHES "^[TDBRtdbr]$" AND NOT name MATCHES "^(_init|_fini|_edata|_end|__bss_start)$"
       AND NOT name MATCHES "^__(odr_asan|asan|ubsan|sancov)")
      list(APPEND actual ${name})
    endif()
  endif()
endforeach()
file(STRINGS ${EXPECTED} expected REGEX "^[^#]")
list(SORT actual)
list(SORT expected)
if(NOT actual STREQUAL expected)
  set(extra ${actual})
  list(REMOVE_ITEM extra ${expected} "")
  set(missing ${expected})
  list(REMOVE_ITEM missing ${actual} "")
  message(FATAL_ERROR "exports of ${LIBRARY} differ\n  unexpected: ${extra}\n  missing: ${missing}")
endif()
message(STATUS "${LIBRARY}: ${actual}")
