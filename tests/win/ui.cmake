# The tray record: its contents after Fill and its calls into the shell.
add_executable(zingel_ui_test ${CMAKE_CURRENT_LIST_DIR}/ui_test.cpp)
target_include_directories(zingel_ui_test PRIVATE ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(zingel_ui_test PRIVATE zingel_tray user32)
if(CMAKE_CROSSCOMPILING_EMULATOR)
  add_test(NAME zingel_ui_test COMMAND zingel_ui_test)
endif()
