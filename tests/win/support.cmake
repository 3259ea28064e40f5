# Test support for driving the stand-ins from another process. The stand-ins
# themselves are exercised by every test that drives zingel against them.
add_library(zingel_win_test_support STATIC ${CMAKE_CURRENT_LIST_DIR}/standin_process.cpp)
target_include_directories(zingel_win_test_support PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(zingel_win_test_support PUBLIC zingel_core)
