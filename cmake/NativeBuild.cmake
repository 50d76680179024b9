# Native build: the portable core and its unit tests, under AddressSanitizer and UndefinedBehaviorSanitizer; and
# spdinfo, which the release preset builds alone, optimised and without sanitizers, for Linux users.
include(GNUInstallDirs)
option(PRISMEL_NATIVE_TESTS "Build the native unit tests and spdinfo's command-line tests" ON)

# spdinfo, the SPD decoder on the command line, its manual page and where `cmake --install` puts them.
add_executable(spdinfo spdinfo/Main.cpp)
target_link_libraries(spdinfo PRIVATE room_spdinfo)
if(NOT PRISMEL_SANITIZE)
  # What users install: the C++ runtime linked in, so the program needs only the C library.
  target_link_options(spdinfo PRIVATE -static-libstdc++ -static-libgcc)
endif()
configure_file(spdinfo/spdinfo.1.in ${CMAKE_BINARY_DIR}/spdinfo.1 @ONLY)
install(TARGETS spdinfo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_BINARY_DIR}/spdinfo.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

if(NOT PRISMEL_NATIVE_TESTS)
  return()
endif()

find_package(GTest REQUIRED)
include(GoogleTest)

file(GLOB NATIVE_TEST_SOURCES CONFIGURE_DEPENDS tests/native/*.cpp)
add_executable(core_tests ${NATIVE_TEST_SOURCES} tools/soak/SoakReport.cpp)
target_link_libraries(core_tests PRIVATE prismel_core smbus_sim_core spdinfo_core prismelctl_core GTest::gtest GTest::gtest_main)
target_compile_definitions(core_tests PRIVATE PRISMEL_TESTDATA="${CMAKE_CURRENT_SOURCE_DIR}/testdata")
gtest_discover_tests(core_tests DISCOVERY_MODE PRE_TEST TEST_PREFIX "native.")

# spdinfo's tests on the real images in testdata/spd.
foreach(case json text bad_input options full refusals ddr5)
  add_test(NAME spdinfo.${case}
           COMMAND ${PRISMEL_PYTHON} ${CMAKE_CURRENT_SOURCE_DIR}/tests/spdinfo/test_spdinfo.py ${case}
                   $<TARGET_FILE:spdinfo> ${CMAKE_CURRENT_SOURCE_DIR}/testdata/spd ${PROJECT_VERSION})
  set_tests_properties(spdinfo.${case} PROPERTIES TIMEOUT 60)
endforeach()

# The rooms of the tree include only their own headers and those of rooms below them.
add_test(NAME layers.includes COMMAND ${PRISMEL_PYTHON} ${CMAKE_CURRENT_SOURCE_DIR}/tools/check_layers.py
                                      ${CMAKE_CURRENT_SOURCE_DIR})
