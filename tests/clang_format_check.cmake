# Fails when a C++ source of the project differs from what .clang-format makes of it.
# Skipped where clang-format is not installed (the test matches the message below).
find_program(CLANG_FORMAT NAMES clang-format clang-format-14)
if(NOT CLANG_FORMAT)
    message("clang-format not found: formatting not checked")
    return()
endif()
file(GLOB_RECURSE sources
    ${SOURCE_DIR}/src/*.cpp ${SOURCE_DIR}/src/*.h
    ${SOURCE_DIR}/tests/*.cpp ${SOURCE_DIR}/tests/*.h
    ${SOURCE_DIR}/fuzz/*.cpp ${SOURCE_DIR}/fuzz/*.h
    ${SOURCE_DIR}/bench/*.cpp
    ${SOURCE_DIR}/resources/*.cpp ${SOURCE_DIR}/resources/*.h)
execute_process(COMMAND ${CLANG_FORMAT} --style=file --dry-run --Werror ${sources}
    WORKING_DIRECTORY ${SOURCE_DIR} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "run clang-format -i on the files above")
endif()
