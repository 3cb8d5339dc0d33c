# Cross build for 32-bit Windows (the release target) with the MinGW-w64 "-posix"
# compilers (Debian g++-mingw-w64-i686-posix). This machine cannot run 32-bit programs
# (no 32-bit kernel support, and Wine's i386 side is not installed), so there is no
# emulator: the tests are built but not registered with ctest (see tests/CMakeLists.txt).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(KOVANTA_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
