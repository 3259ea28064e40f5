# The download address announced in the chat room. It goes into a C++ string
# literal and the chat's link markup, and neither is escaped, so it must not be
# able to end or change either.

# Sets `result` to why `url` cannot be the download address, or to "" if it can.
function(zingel_download_url_problem url result)
  if(url MATCHES "^https?://[A-Za-z0-9.-]+(:[0-9]+)?(/[^\"<> \t\r\n\\]*)?$")
    set(${result} "" PARENT_SCOPE)
  else()
    string(CONCAT problem
           "ZINGEL_DOWNLOAD_URL must be an absolute http:// or https:// address without quotes, "
           "backslashes, angle brackets or white space; got '${url}'")
    set(${result} "${problem}" PARENT_SCOPE)
  endif()
endfunction()

# Stops configuring when `url` cannot be the download address.
function(zingel_check_download_url url)
  zingel_download_url_problem("${url}" problem)
  if(NOT problem STREQUAL "")
    message(FATAL_ERROR "${problem}")
  endif()
endfunction()
