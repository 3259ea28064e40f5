# The real zingel.exe driven from another program, with the stand-in player
# and chat room: the library that drives it, and the end-to-end test.
add_library(zingel_app_driver STATIC ${CMAKE_CURRENT_LIST_DIR}/zingel_app.cpp)
# zingel's control and menu ids come from its ui/resource.h.
target_include_directories(zingel_app_driver PUBLIC ${CMAKE_CURRENT_LIST_DIR} ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(zingel_app_driver PUBLIC zingel_win_test_support user32 shell32)

add_executable(zingel_e2e_test ${CMAKE_CURRENT_LIST_DIR}/e2e_test.cpp)
target_link_libraries(zingel_e2e_test PRIVATE zingel_app_driver zingel_core)
add_dependencies(zingel_e2e_test zingel zingel-player zingel-chatroom)
if(CMAKE_CROSSCOMPILING_EMULATOR)
  add_test(NAME e2e
           COMMAND zingel_e2e_test $<TARGET_FILE:zingel> $<TARGET_FILE:zingel-player>
                   $<TARGET_FILE:zingel-chatroom>)
endif()

# The demo drives zingel with the same library.
add_subdirectory(${PROJECT_SOURCE_DIR}/demo ${CMAKE_BINARY_DIR}/demo)
