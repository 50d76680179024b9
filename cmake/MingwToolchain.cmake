# Cross build for Windows with the mingw-w64 posix-thread compilers of PRISMEL_MINGW_TRIPLET, set by the toolchain
# file that includes this one (mingw-i686.cmake for the program users get, mingw-x86_64.cmake for the 64-bit test
# build).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${PRISMEL_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PRISMEL_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${PRISMEL_MINGW_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${PRISMEL_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Every Windows test runs under Wine through the harness wrapper, which picks the Wine loader of the build.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/wine/emulator.sh)
