# 64-bit Windows: the twin the Wine tests run on where no 32-bit code runs.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
