# The real zingel.exe under faults and bad input: peers that stop answering or
# go away, odd captions and prefixes, a caption flood, odd room layouts and a
# lost tray icon.
add_executable(zingel_faults_test ${CMAKE_CURRENT_LIST_DIR}/faults_test.cpp)
target_link_libraries(zingel_faults_test PRIVATE zingel_app_driver zingel_core shell32)
add_dependencies(zingel_faults_test zingel zingel-player zingel-chatroom)
if(CMAKE_CROSSCOMPILING_EMULATOR)
  add_test(NAME faults
           COMMAND zingel_faults_test $<TARGET_FILE:zingel> $<TARGET_FILE:zingel-player>
                   $<TARGET_FILE:zingel-chatroom>)
  set_tests_properties(faults PROPERTIES TIMEOUT 300)
endif()
