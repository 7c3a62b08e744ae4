# The desktop program's tests: GoogleTest with Qt Test's event helpers, on the offscreen platform.
find_package(Qt6 REQUIRED COMPONENTS Test)

# An environment change (NAME=set:VALUE, as ENVIRONMENT_MODIFICATION takes it) for the tests of
# the next pictog_add_gui_test, cleared after it.
set(PICTOG_GUI_TEST_ENV "")
function(pictog_add_gui_test name)
    add_executable(${name} ${ARGN} gui_test_main.cpp gui_test_support.h)
    target_link_libraries(${name} PRIVATE pictog_gui pictog_warnings Qt6::Test GTest::gtest)
    target_compile_definitions(${name} PRIVATE PICTOG_BIN_DIR="${CMAKE_RUNTIME_OUTPUT_DIRECTORY}")
    set(extra)
    if(PICTOG_GUI_TEST_ENV)
        # A property of its own: a list in ENVIRONMENT would be split apart on the way through
        # the discovery script.
        set(extra ENVIRONMENT_MODIFICATION "${PICTOG_GUI_TEST_ENV}")
    endif()
    gtest_discover_tests(${name}
        DISCOVERY_TIMEOUT 60
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" ${extra})
    set(PICTOG_GUI_TEST_ENV "" PARENT_SCOPE)
endfunction()

pictog_add_gui_test(gui_main_form_test gui_main_form_test.cpp)
# The PGN date is compared with pictog-cli's.
add_dependencies(gui_main_form_test pictog-cli)
pictog_add_gui_test(gui_widgets_test gui_widgets_test.cpp)
# Annotations, the flipped view, Undo/Redo and the status line.
pictog_add_gui_test(gui_editor_test gui_editor_test.cpp)
pictog_add_gui_test(gui_single_instance_test gui_single_instance_test.cpp)
# The second-copy tests start the real program.
add_dependencies(gui_single_instance_test pictog)
# The option dialogs, the About and Licence boxes, the help viewer and the shipped help and manual.
pictog_add_gui_test(gui_dialogs_test gui_dialogs_test.cpp)
target_compile_definitions(gui_dialogs_test PRIVATE
    PICTOG_COMPANION_DIR="${PROJECT_SOURCE_DIR}/src/gui/companion")
# The export dialog, Save as SVG/PDF and the three-form copy, compared with pictog-cli.
pictog_add_gui_test(gui_export_test gui_export_test.cpp)
add_dependencies(gui_export_test pictog-cli)
# Files of games and positions: opening, the keys, moves on the board, faulty files.
# File > Export sheet lays its captions out with Pango, whose font caches live until the process
# ends: the sheet command's leak suppressions apply (see lsan_sheet.supp).
set(PICTOG_GUI_TEST_ENV "LSAN_OPTIONS=set:suppressions=${CMAKE_CURRENT_SOURCE_DIR}/lsan_sheet.supp")
pictog_add_gui_test(gui_games_test gui_games_test.cpp)
target_compile_definitions(gui_games_test PRIVATE PICTOG_TEST_DATA="${CMAKE_CURRENT_SOURCE_DIR}/data")
# The board at Large and Fit to window: mouse mapping, the panel beside it, the View settings.
pictog_add_gui_test(gui_board_size_test gui_board_size_test.cpp)
