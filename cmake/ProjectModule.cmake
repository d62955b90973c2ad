# proj_module(NAME DIR <source dir> [DEPS <targets>...] [PLATFORM_DEPS <targets>...])
#
# One static library per module folder. Portable sources stand directly in DIR; the Mac bodies
# in DIR/mac and the Windows bodies in DIR/win, and only the flavour's own half is built.
# The module's tests live beside it in <library>/tests/NAME (portable tests directly there,
# flavour-only tests in its mac/ or win/ subfolder) and make one GoogleTest executable,
# NAME_tests, registered with CTest. Files named *_bench.cpp in tests/NAME/bench make
# Google Benchmark executables when PROJ_BENCHMARKS is on.
function(proj_module name)
  cmake_parse_arguments(M "" "DIR" "DEPS;TEST_DEPS" ${ARGN})
  set(dir ${CMAKE_CURRENT_SOURCE_DIR}/${M_DIR})
  file(GLOB srcs CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.c ${dir}/${PROJ_PLATFORM_DIR}/*.cpp)
  if(PROJ_WINDOWS)
    file(GLOB rcs CONFIGURE_DEPENDS ${dir}/win/*.rc)
    list(APPEND srcs ${rcs})
  endif()
  if(srcs)
    add_library(${name} STATIC ${srcs})
    target_include_directories(${name} PUBLIC ${PROJ_INCLUDE_ROOTS})
    target_link_libraries(${name} PUBLIC proj_options ${M_DEPS})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJ_INCLUDE_ROOTS})
    target_link_libraries(${name} INTERFACE proj_options ${M_DEPS})
  endif()

  set(tdir ${CMAKE_CURRENT_SOURCE_DIR}/tests/${name})
  file(GLOB tsrcs CONFIGURE_DEPENDS ${tdir}/*.cpp ${tdir}/${PROJ_PLATFORM_DIR}/*.cpp
       ${tdir}/support/*.cpp)
  if(tsrcs)
    add_executable(${name}_tests ${tsrcs})
    target_include_directories(${name}_tests PRIVATE ${tdir} ${CMAKE_SOURCE_DIR}/testsupport)
    target_link_libraries(${name}_tests PRIVATE ${name} ${M_TEST_DEPS} GTest::gtest GTest::gmock
                                                GTest::gtest_main)
    target_compile_definitions(
      ${name}_tests PRIVATE PROJ_TEST_SOURCE_DIR="${tdir}"
                            PROJ_TEST_BINARY_DIR="${CMAKE_CURRENT_BINARY_DIR}")
    add_test(NAME ${name} COMMAND ${name}_tests --gtest_brief=1)
    # A crashed or hung test must not stall the whole run.
    set_tests_properties(${name} PROPERTIES TIMEOUT 900)
  endif()

  if(PROJ_BENCHMARKS)
    file(GLOB bsrcs CONFIGURE_DEPENDS ${tdir}/bench/*_bench.cpp)
    foreach(b ${bsrcs})
      get_filename_component(bname ${b} NAME_WE)
      add_executable(${bname} ${b})
      target_include_directories(${bname} PRIVATE ${tdir} ${CMAKE_SOURCE_DIR}/testsupport)
      target_link_libraries(${bname} PRIVATE ${name} ${M_TEST_DEPS} benchmark::benchmark
                                             benchmark::benchmark_main)
    endforeach()
  endif()
endfunction()
