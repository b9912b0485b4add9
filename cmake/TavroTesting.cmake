# tavro_add_gtest(NAME SOURCES... [LIBS libs...])
# Natively every case is its own ctest entry; under Wine one entry per binary keeps
# the run short (each Wine start costs far more than a test).
function(tavro_add_gtest name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main GTest::gmock)
  target_compile_definitions(${name} PRIVATE
    TAVRO_SOURCE_DIR="${CMAKE_SOURCE_DIR}" TAVRO_BINARY_DIR="${CMAKE_BINARY_DIR}")
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
    set_tests_properties(${name} PROPERTIES LABELS "wine")
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 30)
  endif()
endfunction()
