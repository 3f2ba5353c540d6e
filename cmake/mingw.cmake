# Cross-build for Windows with Debian's mingw-w64; the file that includes
# this one sets CMAKE_SYSTEM_PROCESSOR.
set(CMAKE_SYSTEM_NAME Windows)

set(_triple ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32)
# The win32 thread model keeps winpthread (over 100 KiB) out of the program.
find_program(_cc NAMES ${_triple}-gcc-win32 ${_triple}-gcc REQUIRED)
find_program(_cxx NAMES ${_triple}-g++-win32 ${_triple}-g++ REQUIRED)
set(CMAKE_C_COMPILER ${_cc})
set(CMAKE_CXX_COMPILER ${_cxx})
set(CMAKE_RC_COMPILER ${_triple}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
