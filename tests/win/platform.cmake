# The window messaging primitives and the clock, against windows of this process's own threads.
add_executable(platform_test ${CMAKE_CURRENT_LIST_DIR}/platform_test.cpp)
target_link_libraries(platform_test PRIVATE zingel_platform)
if(CMAKE_CROSSCOMPILING_EMULATOR)
  add_test(NAME platform_test COMMAND platform_test)
endif()

# The cost of one poll of another process's window; run by hand, not a test.
add_executable(poll_cost ${PROJECT_SOURCE_DIR}/bench/poll_cost.cpp)
target_link_libraries(poll_cost PRIVATE zingel_platform)
