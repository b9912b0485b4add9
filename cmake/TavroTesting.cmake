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

# tavro_add_sample_test(NAME SOURCE LIB DIR_DEFINE): a native test over media that
# NAME's make_samples script in the current folder encodes at test time, checked
# against ffprobe; the sample folder reaches the test as DIR_DEFINE.
function(tavro_add_sample_test name source lib dir_define)
  find_program(TAVRO_FFMPEG ffmpeg)
  find_program(TAVRO_FFPROBE ffprobe)
  if(CMAKE_CROSSCOMPILING OR NOT TAVRO_FFMPEG OR NOT TAVRO_FFPROBE)
    return()
  endif()
  set(samples ${CMAKE_CURRENT_BINARY_DIR}/samples)
  add_test(NAME ${name}_make_samples COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/make_samples ${samples})
  set_tests_properties(${name}_make_samples PROPERTIES FIXTURES_SETUP ${name}_samples)
  add_executable(${name}_sample_tests ${source})
  target_link_libraries(${name}_sample_tests PRIVATE ${lib} nlohmann_json::nlohmann_json
    GTest::gtest_main)
  target_include_directories(${name}_sample_tests PRIVATE ${CMAKE_SOURCE_DIR})
  target_compile_definitions(${name}_sample_tests PRIVATE ${dir_define}="${samples}")
  gtest_discover_tests(${name}_sample_tests DISCOVERY_TIMEOUT 30
    PROPERTIES FIXTURES_REQUIRED ${name}_samples)
endfunction()
