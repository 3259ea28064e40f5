# The benchmark of the real zingel.exe under Wine: run by scripts/bench, never
# by CTest (its figures are measurements, not pass or fail).
add_executable(bare_poller ${PROJECT_SOURCE_DIR}/bench/bare_poller.cpp)
target_link_libraries(bare_poller PRIVATE user32)

add_executable(zingel_bench ${PROJECT_SOURCE_DIR}/bench/bench_driver.cpp)
target_link_libraries(zingel_bench PRIVATE zingel_win_test_support psapi user32)
add_dependencies(zingel_bench zingel zingel-player zingel-chatroom bare_poller)
