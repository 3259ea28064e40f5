# Test support for driving the stand-ins from another process, and the
# stand-ins' own test.
add_library(zingel_win_test_support STATIC ${CMAKE_CURRENT_LIST_DIR}/standin_process.cpp)
target_include_directories(zingel_win_test_support PUBLIC ${CMAKE_CURRENT_LIST_DIR})

add_executable(zingel_standins_test ${CMAKE_CURRENT_LIST_DIR}/standins_test.cpp)
target_link_libraries(zingel_standins_test PRIVATE zingel_win_test_support)
add_dependencies(zingel_standins_test zingel-player zingel-chatroom)

if(CMAKE_CROSSCOMPILING_EMULATOR)
  # Unix paths: the test gives them Wine's Z: drive.
  add_test(NAME standins
           COMMAND zingel_standins_test $<TARGET_FILE:zingel-player>
                   $<TARGET_FILE:zingel-chatroom>)
endif()
