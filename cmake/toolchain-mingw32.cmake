# Cross build for 32-bit Windows (the release target) with the MinGW-w64 "-posix"
# compilers (Debian g++-mingw-w64-i686-posix). This machine cannot run 32-bit programs
# (no 32-bit kernel support, and Wine's i386 side is not installed), so there is no
# emulator: the tests are built but not registered with ctest (see tests/CMakeLists.txt).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(KOVANTA_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_C_COMPILER ${KOVANTA_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KOVANTA_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${KOVANTA_MINGW_TRIPLE}-windres)
set(CMAKE_AR ${KOVANTA_MINGW_TRIPLE}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${KOVANTA_MINGW_TRIPLE}-gcc-ranlib-posix CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${KOVANTA_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Everything static, so the .exe imports no libgcc, libstdc++ or libwinpthread DLL.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
