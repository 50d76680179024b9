# The rooms of the tree, each its own static library: the portable part of a room (every .cpp that is not a
# *_win32.cpp) in room_<name>, its Win32 layer in room_<name>_win32 (Windows builds only). A room's library links
# only the rooms below it (the order of tools/check_layers.py, the fast check of the includes); the linker
# enforces that order: beside each library a link check, an executable that takes every object of the library
# and nothing but the libraries of the rooms below, is built with the tree, so a call into a room above (or
# beside) fails the build with an undefined reference.
include_guard(GLOBAL)

set(PRISMEL_LINK_CHECK_MAIN ${CMAKE_BINARY_DIR}/generated/link_check_main.cpp)
file(WRITE ${PRISMEL_LINK_CHECK_MAIN} "// Every object of one room's library, linked with the rooms below it.\nint main() { return 0; }\n")

# prismel_room_library(TARGET SOURCES file... [LINKS library...])
function(prismel_room_library target)
  cmake_parse_arguments(PARSE_ARGV 1 ROOM "" "" "SOURCES;LINKS")
  if(ROOM_SOURCES)
    add_library(${target} STATIC ${ROOM_SOURCES})
    target_link_libraries(${target} PUBLIC prismel_options ${ROOM_LINKS})
    if(NOT PRISMEL_FUZZ) # the fuzz build's coverage instrumentation links only into fuzz targets
      add_executable(${target}_links ${PRISMEL_LINK_CHECK_MAIN})
      target_link_libraries(${target}_links PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,${target}>" ${ROOM_LINKS})
      set_target_properties(${target}_links PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/link-checks)
    endif()
  else()
    add_library(${target} INTERFACE)
    target_link_libraries(${target} INTERFACE prismel_options ${ROOM_LINKS})
  endif()
  set_property(GLOBAL APPEND PROPERTY PRISMEL_ROOM_LIBRARIES ${target})
endfunction()

# The portable sources of a room (its folder only), without the entry points named in EXCLUDE.
function(prismel_portable_sources out room)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${room}/*.cpp)
  list(FILTER sources EXCLUDE REGEX "_win32\\.cpp$")
  foreach(excluded ${ARGN})
    list(FILTER sources EXCLUDE REGEX "/${excluded}$")
  endforeach()
  set(${out} ${sources} PARENT_SCOPE)
endfunction()

function(prismel_win32_sources out room)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${room}/*_win32.cpp)
  foreach(excluded ${ARGN})
    list(FILTER sources EXCLUDE REGEX "/${excluded}$")
  endforeach()
  set(${out} ${sources} PARENT_SCOPE)
endfunction()

# ---- The portable rooms, from the bottom ------------------------------------------------------------------------
prismel_room_library(room_res)
foreach(room base skin memory lighting sdk app spdinfo prismelctl)
  prismel_portable_sources(PRISMEL_${room}_SOURCES ${room} Main.cpp)
endforeach()
file(GLOB PRISMEL_smbus_sim_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/smbus-sim/core/*.cpp)

prismel_room_library(room_base SOURCES ${PRISMEL_base_SOURCES} LINKS room_res)
prismel_room_library(room_skin SOURCES ${PRISMEL_skin_SOURCES} LINKS room_base)
prismel_room_library(room_memory SOURCES ${PRISMEL_memory_SOURCES} LINKS room_base)
# The JEP106 maker names, generated from memory/jep106.tsv.
include(cmake/Jep106.cmake)
prismel_jep106_names(room_memory)
prismel_room_library(room_lighting SOURCES ${PRISMEL_lighting_SOURCES} LINKS room_memory)
prismel_room_library(room_sdk SOURCES ${PRISMEL_sdk_SOURCES} LINKS room_lighting)
prismel_room_library(room_spdinfo SOURCES ${PRISMEL_spdinfo_SOURCES} LINKS room_memory)
prismel_room_library(room_prismelctl SOURCES ${PRISMEL_prismelctl_SOURCES} LINKS room_lighting)
prismel_room_library(room_smbus_sim SOURCES ${PRISMEL_smbus_sim_SOURCES} LINKS room_lighting)
prismel_room_library(room_app SOURCES ${PRISMEL_app_SOURCES} LINKS room_lighting)

# What the tests use of the portable rooms, under the names they have always had.
add_library(prismel_core INTERFACE)
target_link_libraries(prismel_core INTERFACE room_app room_sdk room_skin)
add_library(spdinfo_core INTERFACE)
target_link_libraries(spdinfo_core INTERFACE room_spdinfo)
add_library(prismelctl_core INTERFACE)
target_link_libraries(prismelctl_core INTERFACE room_prismelctl)
add_library(smbus_sim_core INTERFACE)
target_link_libraries(smbus_sim_core INTERFACE room_smbus_sim)

if(NOT WIN32)
  return()
endif()

# ---- The Win32 layers, from the bottom --------------------------------------------------------------------------
file(GLOB PRISMEL_framework_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/framework/*.cpp)
foreach(room base skin memory lighting sdk)
  prismel_win32_sources(PRISMEL_${room}_WIN32_SOURCES ${room})
endforeach()
prismel_win32_sources(PRISMEL_app_WIN32_SOURCES app Prismel_win32.cpp)

prismel_room_library(room_framework_win32 SOURCES ${PRISMEL_framework_SOURCES} LINKS room_res ${PRISMEL_SYSTEM_LIBS})
prismel_room_library(room_base_win32 SOURCES ${PRISMEL_base_WIN32_SOURCES} LINKS room_base room_framework_win32)
prismel_room_library(room_skin_win32 SOURCES ${PRISMEL_skin_WIN32_SOURCES} LINKS room_skin room_base_win32)
prismel_room_library(room_memory_win32 SOURCES ${PRISMEL_memory_WIN32_SOURCES} LINKS room_memory room_skin_win32)
prismel_room_library(room_lighting_win32 SOURCES ${PRISMEL_lighting_WIN32_SOURCES}
                     LINKS room_lighting room_memory_win32)
prismel_room_library(room_sdk_win32 SOURCES ${PRISMEL_sdk_WIN32_SOURCES} LINKS room_sdk room_lighting_win32 ws2_32)
prismel_room_library(room_app_win32 SOURCES ${PRISMEL_app_WIN32_SOURCES} LINKS room_app room_sdk_win32)

# Under the names the tests and tools have always used.
add_library(prismel_framework INTERFACE)
target_link_libraries(prismel_framework INTERFACE room_framework_win32)
add_library(prismel_win32 INTERFACE)
target_link_libraries(prismel_win32 INTERFACE room_app_win32 prismel_core)
