# Fails when FILE is larger than BUDGET bytes.
# Usage: cmake -DFILE=zingel.exe -DBUDGET=294912 -P exe_size_test.cmake
file(SIZE "${FILE}" size)
if(size GREATER BUDGET)
  message(FATAL_ERROR "${FILE} is ${size} bytes, over its budget of ${BUDGET}")
endif()
message("${FILE}: ${size} bytes, budget ${BUDGET}")
