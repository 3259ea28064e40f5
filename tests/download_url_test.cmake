# cmake -P: the download address check against addresses it must take and
# addresses it must refuse.
include(${CMAKE_CURRENT_LIST_DIR}/../cmake/download_url.cmake)

set(accepted
    "https://example.com/zingel/"
    "http://example.org"
    "https://dl.example-mirror.net:8080/get?v=1.0&os=xp#top"
    "https://example.com/it's/~me/%20")
set(rejected
    "https://example.com/a\\b"  # an escape in the generated string literal
    "https://example.com/a\"b"  # ends the literal and the link
    "https://example.com/a<b"
    "https://example.com/a>"
    "https://example.com/a b"
    "https://example.com/a\tb"
    "ftp://example.com/zingel/"
    "example.com/zingel/")

set(failures "")
foreach(url IN LISTS accepted)
  zingel_download_url_problem("${url}" problem)
  if(NOT problem STREQUAL "")
    string(APPEND failures "\n  refused '${url}'")
  endif()
endforeach()
foreach(url IN LISTS rejected)
  zingel_download_url_problem("${url}" problem)
  if(problem STREQUAL "")
    string(APPEND failures "\n  took '${url}'")
  endif()
endforeach()
if(NOT failures STREQUAL "")
  message(FATAL_ERROR "the download address check${failures}")
endif()
