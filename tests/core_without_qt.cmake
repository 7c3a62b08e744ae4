# Fails when a source file under CORE_DIR includes a Qt header (#include <Q...> or "Q..."):
# the core library builds and runs without Qt.
#   cmake -DCORE_DIR=src/core -P core_without_qt.cmake
if(NOT CORE_DIR OR NOT IS_DIRECTORY "${CORE_DIR}")
    message(FATAL_ERROR "CORE_DIR must name the core source folder (got '${CORE_DIR}')")
endif()

file(GLOB_RECURSE sources LIST_DIRECTORIES false
    "${CORE_DIR}/*.h" "${CORE_DIR}/*.hpp" "${CORE_DIR}/*.hh"
    "${CORE_DIR}/*.cpp" "${CORE_DIR}/*.cc" "${CORE_DIR}/*.cxx" "${CORE_DIR}/*.c" "${CORE_DIR}/*.inc")
set(offenders "")
foreach(source IN LISTS sources)
    file(STRINGS "${source}" hits REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]Q")
    foreach(hit IN LISTS hits)
        string(APPEND offenders "\n  ${source}: ${hit}")
    endforeach()
endforeach()

list(LENGTH sources count)
if(count EQUAL 0)
    message(FATAL_ERROR "no source files found under ${CORE_DIR}")
endif()
if(offenders)
    message(FATAL_ERROR "Qt headers included in the core:${offenders}")
endif()
message(STATUS "${count} core source files, none includes a Qt header")
