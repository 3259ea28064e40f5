# Every shipped or test-driving .exe imports only Windows system DLLs and
# nothing Windows XP lacks; these run natively, on the built files.
set(check_pe ${CMAKE_SOURCE_DIR}/tests/check_pe.sh)
find_program(ZINGEL_OBJDUMP NAMES ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32-objdump REQUIRED)
foreach(program zingel zingel-player zingel-chatroom)
  if(TARGET ${program})
    if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
      set(xp_flag --xp)
    else()
      set(xp_flag "")
    endif()
    add_test(NAME pe_imports_${program}
             COMMAND bash ${check_pe} ${ZINGEL_OBJDUMP} $<TARGET_FILE:${program}> ${xp_flag})
  endif()
endforeach()
