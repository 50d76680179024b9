# Compiler options shared by every target of both builds.
option(PRISMEL_SANITIZE "Native build: AddressSanitizer and UndefinedBehaviorSanitizer on every target" ON)
add_library(prismel_options INTERFACE)
target_compile_options(prismel_options INTERFACE -Wall -Wextra -Werror -Wshadow -Wnon-virtual-dtor)
# Every file includes by room: "room/File.h" from the top of the tree.
target_include_directories(prismel_options INTERFACE ${CMAKE_SOURCE_DIR})

if(WIN32)
  target_compile_definitions(prismel_options INTERFACE UNICODE _UNICODE NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
  target_link_options(prismel_options INTERFACE -static -static-libgcc -static-libstdc++)
elseif(NOT PRISMEL_FUZZ AND PRISMEL_SANITIZE)
  target_compile_options(prismel_options INTERFACE -fsanitize=address,undefined -fno-sanitize-recover=all
                                                   -fno-omit-frame-pointer)
  target_link_options(prismel_options INTERFACE -fsanitize=address,undefined)
endif()

# Host Python with the Debian packages the generators use.
set(PRISMEL_PYTHON /usr/bin/python3 CACHE FILEPATH "Python used by the build-time generators")

# One version number for the whole product: project() in CMakeLists.txt. It reaches the program's version
# resource and about box (generated PrismelVersion.h), the about page artwork (cmake/Skin.cmake), the package
# names (tools/package.sh reads it from the cache) and the command-line tools' --version (PRISMEL_VERSION).
foreach(part MAJOR MINOR PATCH)
  set(PRISMEL_VERSION_${part} ${PROJECT_VERSION_${part}})
  if(PRISMEL_VERSION_${part} STREQUAL "")
    set(PRISMEL_VERSION_${part} 0)
  endif()
endforeach()
set(PRISMEL_VERSION ${PROJECT_VERSION} CACHE INTERNAL "The product's version, for the packaging command")
target_compile_definitions(prismel_options INTERFACE $<$<COMPILE_LANGUAGE:C,CXX>:PRISMEL_VERSION="${PROJECT_VERSION}">)
set(PRISMEL_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
configure_file(${CMAKE_SOURCE_DIR}/res/PrismelVersion.h.in ${PRISMEL_GENERATED_DIR}/PrismelVersion.h @ONLY)
