# Win32 build: the framework, the program, the SMBus stand-in and the tests that run under Wine.
enable_language(RC)
include(cmake/Skin.cmake)
include(GoogleTest)

set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# The manifest names the processor architecture of the build it goes into; the Wine harness reads wine-arch.txt
# to run the build's programs with the Wine loader of their kind.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(PRISMEL_MANIFEST_ARCH amd64)
  set(PRISMEL_WINE_ARCH win64)
else()
  set(PRISMEL_MANIFEST_ARCH X86)
  set(PRISMEL_WINE_ARCH win32)
endif()
file(WRITE ${CMAKE_BINARY_DIR}/wine-arch.txt "${PRISMEL_WINE_ARCH}\n")
# The DPI awareness and supported Windows versions, one block shared by the three programs' manifests.
file(READ ${CMAKE_SOURCE_DIR}/res/WindowsSettings.manifest.in PRISMEL_MANIFEST_WINDOWS_SETTINGS)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/res/WindowsSettings.manifest.in)
foreach(_manifest Prismel prismelctl LedView)
  configure_file(${CMAKE_SOURCE_DIR}/res/${_manifest}.manifest.in ${PRISMEL_GENERATED_DIR}/${_manifest}.manifest @ONLY)
endforeach()

# Resources, shared by the program and the tests that need its templates and bitmaps.
set(PRISMEL_RC ${CMAKE_SOURCE_DIR}/res/Prismel.rc)
set_source_files_properties(${PRISMEL_RC} PROPERTIES OBJECT_DEPENDS
  "${PRISMEL_SKIN_OUTPUTS};${PRISMEL_GENERATED_DIR}/PrismelVersion.h;${PRISMEL_GENERATED_DIR}/Prismel.manifest;${CMAKE_SOURCE_DIR}/res/resource.h;${CMAKE_SOURCE_DIR}/res/SkinLayout.h")
add_library(prismel_resources OBJECT ${PRISMEL_RC})
target_include_directories(prismel_resources PRIVATE ${CMAKE_SOURCE_DIR} ${PRISMEL_SKIN_DIR} ${PRISMEL_GENERATED_DIR})
add_dependencies(prismel_resources prismel_skin)

# How the program's image is laid out, for it and for the start-up benchmark's structural baseline alike: sections
# aligned to pages in the file, so that the loader maps the 12 MB of resources from it instead of copying them, and
# no debugging sections (the static runtime brings its own), which the loader would map at every start.
set(PRISMEL_IMAGE_LINK_OPTIONS -Wl,--file-alignment,4096 -s)
add_executable(Prismel WIN32 app/Prismel_win32.cpp $<TARGET_OBJECTS:prismel_resources>)
target_link_libraries(Prismel PRIVATE room_app_win32)
target_link_options(Prismel PRIVATE -municode ${PRISMEL_IMAGE_LINK_OPTIONS})

# The seven-segment font, built from Debian's DSEG7 Classic and renamed, beside the program with its licence.
set(PRISMEL_FONT_SOURCE /usr/share/fonts/truetype/dseg/DSEG7Classic-Regular.ttf)
set(PRISMEL_FONT_COPYRIGHT /usr/share/doc/fonts-dseg/copyright)
add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/bin/DS-DIGI.ttf ${CMAKE_BINARY_DIR}/bin/DS-DIGI-LICENSE.txt
  COMMAND ${PRISMEL_PYTHON} ${CMAKE_SOURCE_DIR}/tools/gen_font.py --source ${PRISMEL_FONT_SOURCE}
          --copyright ${PRISMEL_FONT_COPYRIGHT} --out ${CMAKE_BINARY_DIR}/bin
  DEPENDS ${CMAKE_SOURCE_DIR}/tools/gen_font.py ${PRISMEL_FONT_SOURCE}
  COMMENT "Building DS-DIGI.ttf"
  VERBATIM)
add_custom_target(prismel_font ALL DEPENDS ${CMAKE_BINARY_DIR}/bin/DS-DIGI.ttf)
add_dependencies(Prismel prismel_font)

# The SMBus stand-in, MsIo32.dll, with undecorated __stdcall exports.
add_library(MsIo32 SHARED smbus-sim/MsIo32.cpp smbus-sim/MsIo32.def smbus-sim/MsIo32.rc)
target_include_directories(MsIo32 PRIVATE ${PRISMEL_GENERATED_DIR})
set_source_files_properties(smbus-sim/MsIo32.rc PROPERTIES OBJECT_DEPENDS ${PRISMEL_GENERATED_DIR}/PrismelVersion.h)
set_target_properties(MsIo32 PROPERTIES PREFIX "" OUTPUT_NAME MsIo32)
target_link_libraries(MsIo32 PRIVATE room_smbus_sim kernel32)
target_link_options(MsIo32 PRIVATE -Wl,--kill-at -Wl,--enable-stdcall-fixup)

# The LED view: draws what the stand-in's journal says the modules' LEDs were told, beside the stand-in.
add_executable(LedView WIN32 smbus-sim/ledview/LedView_win32.cpp smbus-sim/ledview/LedView.rc)
set_source_files_properties(smbus-sim/ledview/LedView.rc PROPERTIES OBJECT_DEPENDS ${PRISMEL_GENERATED_DIR}/LedView.manifest)
target_include_directories(LedView PRIVATE ${PRISMEL_GENERATED_DIR})
target_link_libraries(LedView PRIVATE room_smbus_sim room_framework_win32 gdi32 user32 shell32 kernel32)
target_link_options(LedView PRIVATE -municode)

# spdinfo.exe, the SPD decoder on the command line: a console program that reads image files, or with --bus the
# modules behind MsIo32.dll in its own folder.
add_executable(spdinfo spdinfo/Main_win32.cpp)
target_link_libraries(spdinfo PRIVATE room_spdinfo room_memory_win32)
target_link_options(spdinfo PRIVATE -municode)
# Its bus wiring: the stand-in beside it serves the two default modules, found in the program's probing order.
add_test(NAME win32.spdinfo.bus COMMAND spdinfo --json --bus)
set_tests_properties(win32.spdinfo.bus PROPERTIES
                     PASS_REGULAR_EXPRESSION "\"module\": \"DIMM0\".*\"G\\.Skill\".*\"module\": \"DIMM1\".*\"Samsung\""
                     FAIL_REGULAR_EXPRESSION "spdinfo:" TIMEOUT 120 RESOURCE_LOCK prismel_display)

# prismelctl.exe, the lighting on the command line: a console program with its own manifest (the caller's rights)
# that hands requests to the running program.
set(PRISMELCTL_RC ${CMAKE_SOURCE_DIR}/res/prismelctl.rc)
set_source_files_properties(${PRISMELCTL_RC} PROPERTIES OBJECT_DEPENDS ${PRISMEL_GENERATED_DIR}/prismelctl.manifest)
add_executable(prismelctl prismelctl/Main_win32.cpp ${PRISMELCTL_RC})
target_include_directories(prismelctl PRIVATE ${PRISMEL_GENERATED_DIR})
target_link_libraries(prismelctl PRIVATE room_prismelctl room_framework_win32)
target_link_options(prismelctl PRIVATE -municode)

# The default virtual modules and the stand-in's configuration, beside the program.
file(GLOB PRISMEL_SPD_IMAGES ${CMAKE_SOURCE_DIR}/testdata/spd/*.bin)
foreach(image ${PRISMEL_SPD_IMAGES})
  cmake_path(GET image FILENAME image_name)
  configure_file(${image} ${CMAKE_BINARY_DIR}/bin/spd/${image_name} COPYONLY)
endforeach()
configure_file(${CMAKE_SOURCE_DIR}/smbus-sim/smbus-sim.conf ${CMAKE_BINARY_DIR}/bin/smbus-sim.conf COPYONLY)

# What tools/package.sh needs to know of this build: the version, and the targets it builds and packages (the
# program, its font, the SMBus stand-in for the demo, and the command-line tools and LED view where this tree
# has them). Evaluated when the build system is generated, so targets added anywhere count.
file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/package-info.txt CONTENT
"version=${PROJECT_VERSION}
arch=${PRISMEL_WINE_ARCH}
triplet=${PRISMEL_MINGW_TRIPLET}
targets=Prismel prismel_font MsIo32$<$<TARGET_EXISTS:spdinfo>: spdinfo>$<$<TARGET_EXISTS:prismelctl>: prismelctl>$<$<TARGET_EXISTS:LedView>: LedView>
")

# Win32 unit and integration tests, one process per test case under Wine.
file(GLOB WIN32_TEST_SOURCES CONFIGURE_DEPENDS tests/win32/*.cpp tests/win32/*.rc)  # not the subfolders
add_executable(win32_tests ${WIN32_TEST_SOURCES} $<TARGET_OBJECTS:prismel_resources>)
target_include_directories(win32_tests PRIVATE ${CMAKE_SOURCE_DIR} ${PRISMEL_SKIN_DIR})
target_link_libraries(win32_tests PRIVATE prismel_win32 prismel_support gtest gtest_main)
target_compile_definitions(win32_tests PRIVATE PRISMEL_TESTDATA="Z:${CMAKE_SOURCE_DIR}/testdata"
                                               PRISMEL_SKIN_DIR="Z:${PRISMEL_SKIN_DIR}")
add_dependencies(win32_tests MsIo32 prismel_font smbus_partial_init smbus_partial_none)
# Every Wine test shares one display, one mouse pointer, the settings key and the instance mutex, so they run
# one at a time (a window of one test taking the focus or the capture from another makes clicks flaky).
gtest_discover_tests(win32_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120 TEST_PREFIX "win32."
                     PROPERTIES TIMEOUT 120 ENVIRONMENT "LC_ALL=en_US.UTF-8" RESOURCE_LOCK prismel_display)
# The language object under each system language.
foreach(case "en_US;0" "de_DE;0" "zh_CN;1" "zh_TW;2" "zh_HK;2" "zh_SG;2")
  list(GET case 0 locale)
  list(GET case 1 index)
  add_test(NAME win32.LanguageFromSystem.${locale}
           COMMAND win32_tests --gtest_filter=LanguageFromSystem.*)
  set_tests_properties(win32.LanguageFromSystem.${locale} PROPERTIES
                       ENVIRONMENT "LC_ALL=${locale}.UTF-8;PRISMEL_EXPECT_LANGUAGE=${index}"
                       FAIL_REGULAR_EXPRESSION "SKIPPED|FAILED" RESOURCE_LOCK prismel_display)
endforeach()

# Broken SMBus libraries that lack entry points.
foreach(variant init none)
  add_library(smbus_partial_${variant} SHARED tests/win32/partial_smbus/PartialSmbus.cpp)
  set_target_properties(smbus_partial_${variant} PROPERTIES PREFIX "")
  target_link_libraries(smbus_partial_${variant} PRIVATE prismel_options kernel32)
  target_link_options(smbus_partial_${variant} PRIVATE -Wl,--kill-at)
endforeach()
target_compile_definitions(smbus_partial_init PRIVATE PARTIAL_HAS_INITIALIZE)

# What the tests, the benchmarks and the tools share (the soak tool too, which includes nothing of tests/).
add_subdirectory(tools/support)

# End-to-end tests: a driver starts the program (or a small test window) and works it from outside.
add_subdirectory(tests/e2e)

# The Windows packages, made by tools/package.sh and installed, run and uninstalled under Wine.
add_subdirectory(tests/package)

# The skin artwork check.
add_test(NAME skin.art COMMAND ${PRISMEL_PYTHON} ${CMAKE_SOURCE_DIR}/tests/skin/test_skin_art.py)
set_tests_properties(skin.art PROPERTIES TIMEOUT 300)
add_test(NAME skin.languages COMMAND ${PRISMEL_PYTHON} ${CMAKE_SOURCE_DIR}/tests/skin/test_skin_languages.py)
set_tests_properties(skin.languages PROPERTIES TIMEOUT 300)
add_subdirectory(tests/bench)
add_subdirectory(tools/soak)

# What the packages hold, and nothing of the tests: what a machine that cannot run this build's programs builds of
# it (tools/test.sh), for the checks that need no Wine (labelled nowine).
add_custom_target(release_files)
add_dependencies(release_files Prismel prismel_font MsIo32 LedView spdinfo prismelctl)
