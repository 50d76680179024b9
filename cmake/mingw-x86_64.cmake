# Cross build for 64-bit Windows: the same sources, for running the Windows tests under 64-bit Wine on machines
# that cannot execute 32-bit programs. Not a release: the vendor's SMBus library is a 32-bit library.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(PRISMEL_MINGW_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/MingwToolchain.cmake)
