# Skin artwork: tools/gen_skin.py draws every skin bitmap (at 100 % as BMP, at 125 to 200 % as NAME.<percent>.png),
# the icon and skin.rc from res/SkinLayout.h into the build tree at build time. Nothing generated is kept in the
# source tree.
#
# Gives:
#   prismel_skin          custom target that brings the skin up to date
#   PRISMEL_SKIN_DIR      the folder holding the files; put it on the resource compiler's include path
#   PRISMEL_SKIN_OUTPUTS  every generated file, for OBJECT_DEPENDS of the .rc that includes skin.rc
include_guard(GLOBAL)

if(NOT PRISMEL_PYTHON)
  set(PRISMEL_PYTHON /usr/bin/python3)
endif()

set(PRISMEL_SKIN_DIR ${CMAKE_BINARY_DIR}/skin)
set(_prismel_skin_script ${CMAKE_CURRENT_LIST_DIR}/../tools/gen_skin.py)
set(_prismel_skin_header ${CMAKE_CURRENT_LIST_DIR}/../res/SkinLayout.h)
cmake_path(NORMAL_PATH _prismel_skin_script)
cmake_path(NORMAL_PATH _prismel_skin_header)

# The list of files follows the header, so ask the generator for it and configure again when either changes.
execute_process(
  COMMAND ${PRISMEL_PYTHON} ${_prismel_skin_script} --header ${_prismel_skin_header} --out ${PRISMEL_SKIN_DIR} --list
  OUTPUT_VARIABLE _prismel_skin_names
  RESULT_VARIABLE _prismel_skin_result
  OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT _prismel_skin_result EQUAL 0)
  message(FATAL_ERROR "gen_skin.py --list failed (${_prismel_skin_result}); is python3-pil installed?")
endif()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${_prismel_skin_script} ${_prismel_skin_header})

string(REPLACE "\n" ";" _prismel_skin_names "${_prismel_skin_names}")
set(PRISMEL_SKIN_OUTPUTS "")
foreach(_name IN LISTS _prismel_skin_names)
  list(APPEND PRISMEL_SKIN_OUTPUTS ${PRISMEL_SKIN_DIR}/${_name})
endforeach()

# The about page shows the project's version; the stamp changes only when the version does.
set(_prismel_skin_version_args "")
if(PROJECT_VERSION)
  set(_prismel_skin_version_args --version ${PROJECT_VERSION})
endif()
set(_prismel_skin_stamp ${CMAKE_BINARY_DIR}/skin_version.txt)
file(CONFIGURE OUTPUT ${_prismel_skin_stamp} CONTENT "${PROJECT_VERSION}\n")

add_custom_command(
  OUTPUT ${PRISMEL_SKIN_OUTPUTS}
  COMMAND ${PRISMEL_PYTHON} ${_prismel_skin_script} --header ${_prismel_skin_header} --out ${PRISMEL_SKIN_DIR}
          ${_prismel_skin_version_args}
  DEPENDS ${_prismel_skin_script} ${_prismel_skin_header} ${_prismel_skin_stamp}
  COMMENT "Drawing the skin artwork"
  VERBATIM)
add_custom_target(prismel_skin DEPENDS ${PRISMEL_SKIN_OUTPUTS})
