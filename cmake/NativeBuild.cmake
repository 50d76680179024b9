# Native build: the portable core and its unit tests, under AddressSanitizer and UndefinedBehaviorSanitizer.
find_package(GTest REQUIRED)
include(GoogleTest)

file(GLOB NATIVE_TEST_SOURCES CONFIGURE_DEPENDS tests/native/*.cpp)
add_executable(core_tests ${NATIVE_TEST_SOURCES} tools/soak/SoakReport.cpp)
target_link_libraries(core_tests PRIVATE prismel_core smbus_sim_core spdinfo_core GTest::gtest GTest::gtest_main)
target_compile_definitions(core_tests PRIVATE PRISMEL_TESTDATA="${CMAKE_CURRENT_SOURCE_DIR}/testdata")
gtest_discover_tests(core_tests DISCOVERY_MODE PRE_TEST TEST_PREFIX "native.")

# spdinfo, the SPD decoder on the command line, and its tests on the real images in testdata/spd.
add_executable(spdinfo spdinfo/Main.cpp)
target_link_libraries(spdinfo PRIVATE spdinfo_core)
foreach(case json text bad_input options)
  add_test(NAME spdinfo.${case}
           COMMAND ${PRISMEL_PYTHON} ${CMAKE_CURRENT_SOURCE_DIR}/tests/spdinfo/test_spdinfo.py ${case}
                   $<TARGET_FILE:spdinfo> ${CMAKE_CURRENT_SOURCE_DIR}/testdata/spd ${PROJECT_VERSION})
  set_tests_properties(spdinfo.${case} PROPERTIES TIMEOUT 60)
endforeach()
