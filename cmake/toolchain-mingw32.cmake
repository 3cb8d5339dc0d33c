# Cross build for 32-bit Windows (the release target) with the MinGW-w64 "-posix" compilers
# (Debian g++-mingw-w64-i686-posix). Tests run under the 32-bit Wine (Debian wine32:i386):
# ctest and gtest_discover_tests go through CMAKE_CROSSCOMPILING_EMULATOR.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(KOVANTA_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine)
