# Bad input, faults and memory checks across the program: included from CMakeLists.txt.

# The settings writer that the kill loop starts and kills; kept out of bin/.
add_executable(robustness_ini_writer robustness_ini_writer.cpp robustness_ini_writer.h)
target_link_libraries(robustness_ini_writer PRIVATE pictog_core pictog_warnings)
set_target_properties(robustness_ini_writer PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})

pictog_add_test(robustness_core_test robustness_core_test.cpp robustness_support.h)
target_compile_definitions(robustness_core_test PRIVATE
    PICTOG_INI_WRITER="$<TARGET_FILE:robustness_ini_writer>")
add_dependencies(robustness_core_test robustness_ini_writer)

# The main window and the program under bad input and faults.
if(TARGET pictog_gui)
    pictog_add_gui_test(robustness_gui_test robustness_gui_test.cpp robustness_support.h)
    set_target_properties(robustness_gui_test PROPERTIES AUTOMOC ON)
    add_dependencies(robustness_gui_test pictog)
endif()

# pictog-cli under valgrind's memcheck; skipped in the sanitizer build and without valgrind.
add_test(NAME robustness_valgrind COMMAND ${CMAKE_COMMAND} -E env
    PICTOG_CLI=$<TARGET_FILE:pictog-cli> PICTOG_SANITIZED=$<BOOL:${PICTOG_SANITIZE}>
    python3 ${CMAKE_CURRENT_SOURCE_DIR}/robustness_valgrind_test.py)
set_tests_properties(robustness_valgrind PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 1200)

# No source hands user or settings text to a shell.
add_test(NAME no_shell_in_sources COMMAND python3
    ${CMAKE_CURRENT_SOURCE_DIR}/no_shell_in_sources.py ${PROJECT_SOURCE_DIR}/src)
