find_package(GTest REQUIRED)
include(GoogleTest)

# kavrin_add_test(<name> SOURCES <files...> [LIBS <targets...>] [DATABASE] [GUI])
#   DATABASE: the test uses the private MariaDB's `kavrin` database; such tests never run at the same
#             time (they share one database) and get the server's port from the environment.
#   GUI:      the test creates widgets; it runs on Qt's offscreen platform.
function(kavrin_add_test name)
  cmake_parse_arguments(T "DATABASE;GUI" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock kavrin_test_main)
  set(props ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8;KAVRIN_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
  if(T_DATABASE)
    list(APPEND props RESOURCE_LOCK kavrin_database)
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 30
                       PROPERTIES ${props} TIMEOUT 300)
endfunction()
