# Cross build for 64-bit Windows with the MinGW-w64 "-posix" compilers (Debian
# g++-mingw-w64-x86-64-posix). Tests run under Wine: ctest and gtest_discover_tests go
# through CMAKE_CROSSCOMPILING_EMULATOR. Call the 64-bit loader directly, /usr/bin/wine
# may pick the 32-bit one, which cannot run on this machine.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(KOVANTA_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
