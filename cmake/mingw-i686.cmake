# Cross build for 32-bit Windows: the program users get.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(PRISMEL_MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/MingwToolchain.cmake)
