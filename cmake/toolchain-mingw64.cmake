# Cross build for 64-bit Windows with the MinGW-w64 "-posix" compilers (Debian
# g++-mingw-w64-x86-64-posix). Tests run under Wine: ctest and gtest_discover_tests go
# through CMAKE_CROSSCOMPILING_EMULATOR. Call the 64-bit loader directly, /usr/bin/wine
# may pick the 32-bit one, which cannot run on this machine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KOVANTA_MINGW_TRIPLE x86_64-w64-mingw32)
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

set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
