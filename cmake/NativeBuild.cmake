# Native build: the portable core and its unit tests, under AddressSanitizer and UndefinedBehaviorSanitizer.
find_package(GTest REQUIRED)
include(GoogleTest)

file(GLOB NATIVE_TEST_SOURCES CONFIGURE_DEPENDS tests/native/*.cpp)
add_executable(core_tests ${NATIVE_TEST_SOURCES})
target_link_libraries(core_tests PRIVATE prismel_core smbus_sim_core GTest::gtest GTest::gtest_main)
target_compile_definitions(core_tests PRIVATE PRISMEL_TESTDATA="${CMAKE_CURRENT_SOURCE_DIR}/testdata")
gtest_discover_tests(core_tests DISCOVERY_MODE PRE_TEST TEST_PREFIX "native.")
