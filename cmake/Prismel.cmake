# Compiler options shared by every target of both builds.
add_library(prismel_options INTERFACE)
target_compile_options(prismel_options INTERFACE -Wall -Wextra -Werror -Wshadow -Wnon-virtual-dtor)

if(WIN32)
  target_compile_definitions(prismel_options INTERFACE UNICODE _UNICODE NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
  target_link_options(prismel_options INTERFACE -static -static-libgcc -static-libstdc++)
elseif(NOT PRISMEL_FUZZ)
  target_compile_options(prismel_options INTERFACE -fsanitize=address,undefined -fno-sanitize-recover=all
                                                   -fno-omit-frame-pointer)
  target_link_options(prismel_options INTERFACE -fsanitize=address,undefined)
endif()

# Host Python with the Debian packages the generators use.
set(PRISMEL_PYTHON /usr/bin/python3 CACHE FILEPATH "Python used by the build-time generators")
