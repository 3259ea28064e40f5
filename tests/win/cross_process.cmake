# The real window messaging against the stand-ins, as separate processes.
add_executable(zingel_cross_process_test ${CMAKE_CURRENT_LIST_DIR}/cross_process_test.cpp)
target_link_libraries(zingel_cross_process_test PRIVATE zingel_platform zingel_core
                      zingel_win_test_support)
add_dependencies(zingel_cross_process_test zingel-player zingel-chatroom)
if(CMAKE_CROSSCOMPILING_EMULATOR)
  add_test(NAME cross_process
           COMMAND zingel_cross_process_test $<TARGET_FILE:zingel-player>
                   $<TARGET_FILE:zingel-chatroom>)
endif()
