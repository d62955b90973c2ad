# proj_module(NAME DIR <source dir> [DEPS <targets>...] [TEST_DEPS <targets>...])
#
# One static library per module folder. Portable sources stand directly in DIR; the Mac bodies in
# DIR/mac and the Windows bodies in DIR/win, and only the flavour's own half is built.
#
# A module sees only its own headers and those of the modules it names in DEPS: its include root
# is a folder of its own in the build tree holding one link, NAME -> DIR, so "GLIB/GLIB_String.h"
# resolves only for GLIB and the modules that depend on it. Configuring fails when the module's
# sources include a module that DEPS does not name, or DEPS names a module they never include
# (DEPS may name other targets too: libraries and platform stand-ins are not checked).
#
# The module's tests live beside it in <library>/tests/NAME (portable tests directly there,
# flavour-only tests in its mac/ or win/ subfolder, shared helpers in support/) and make one
# GoogleTest executable, NAME_tests; CTest sees each of its test cases. Files named *_bench.cpp in
# tests/NAME/bench make Google Benchmark executables when PROJ_BENCHMARKS is on. With PROJ_FUZZ,
# files named *_fuzz.cpp in tests/NAME/fuzz make libFuzzer targets and *_seeds.cpp there make the
# programs that write their starting corpora (tools/fuzz runs both).
include(GoogleTest)

function(proj_module name)
  cmake_parse_arguments(M "" "DIR" "DEPS;TEST_DEPS" ${ARGN})
  set(dir ${CMAKE_CURRENT_SOURCE_DIR}/${M_DIR})
  file(GLOB srcs CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.c ${dir}/${PROJ_PLATFORM_DIR}/*.cpp)
  file(GLOB headers CONFIGURE_DEPENDS ${dir}/*.h ${dir}/${PROJ_PLATFORM_DIR}/*.h)
  if(PROJ_WINDOWS)
    file(GLOB rcs CONFIGURE_DEPENDS ${dir}/win/*.rc)
    list(APPEND srcs ${rcs})
  endif()

  set(root ${CMAKE_BINARY_DIR}/modules/${name})
  file(MAKE_DIRECTORY ${root})
  file(CREATE_LINK ${dir} ${root}/${name} SYMBOLIC)
  if(srcs)
    add_library(${name} STATIC ${srcs})
    set(scope PUBLIC)
  else()
    add_library(${name} INTERFACE)
    set(scope INTERFACE)
  endif()
  target_include_directories(${name} ${scope} ${root})
  target_link_libraries(${name} ${scope} proj_options ${M_DEPS})
  proj_check_module_includes(${name} "${srcs};${headers}" "${M_DEPS}")

  set(tdir ${CMAKE_CURRENT_SOURCE_DIR}/tests/${name})
  file(GLOB tsrcs CONFIGURE_DEPENDS ${tdir}/*.cpp ${tdir}/${PROJ_PLATFORM_DIR}/*.cpp
       ${tdir}/support/*.cpp)
  if(tsrcs)
    add_executable(${name}_tests ${tsrcs})
    target_include_directories(${name}_tests PRIVATE ${tdir})
    target_link_libraries(${name}_tests PRIVATE ${name} ${M_TEST_DEPS} GTest::gtest GTest::gmock
                                                GTest::gtest_main)
    # Each case is a test of its own, so that CTest spreads them over the cores; a crashed or
    # hung case must not stall the whole run. Discovery runs the executable, under wine for the
    # windows flavour, so it waits for the test run that has a wine prefix. Under wine a case times
    # out sooner, and the windows test preset runs a case that timed out or failed up to twice
    # more: the cases share one wine desktop (its pointer and foreground window) while they run
    # side by side. A parameterised case is named by its index, not by the bytes of its parameter.
    if(PROJ_WINDOWS)
      set(case_timeout 120)
    else()
      set(case_timeout 600)
    endif()
    gtest_discover_tests(
      ${name}_tests
      DISCOVERY_MODE PRE_TEST
      NO_PRETTY_VALUES
      DISCOVERY_TIMEOUT 200
      PROPERTIES TIMEOUT ${case_timeout} LABELS ${name})
  endif()

  if(PROJ_BENCHMARKS)
    file(GLOB bsrcs CONFIGURE_DEPENDS ${tdir}/bench/*_bench.cpp)
    foreach(b ${bsrcs})
      get_filename_component(bname ${b} NAME_WE)
      add_executable(${bname} ${b})
      target_include_directories(${bname} PRIVATE ${tdir})
      target_link_libraries(${bname} PRIVATE ${name} ${M_TEST_DEPS} benchmark::benchmark
                                             benchmark::benchmark_main)
      add_dependencies(proj_benchmarks ${bname})
    endforeach()
  endif()

  if(PROJ_FUZZ)
    file(GLOB fsrcs CONFIGURE_DEPENDS ${tdir}/fuzz/*_fuzz.cpp ${tdir}/fuzz/*_seeds.cpp)
    foreach(f ${fsrcs})
      get_filename_component(fname ${f} NAME_WE)
      add_executable(${fname} ${f})
      target_include_directories(${fname} PRIVATE ${tdir})
      target_link_libraries(${fname} PRIVATE ${name} ${M_TEST_DEPS})
      if(fname MATCHES "_fuzz$")
        target_link_options(${fname} PRIVATE -fsanitize=fuzzer)
      endif()
    endforeach()
  endif()
endfunction()

# The modules that FILES include ("NAME/..." with a four-letter upper-case NAME) must be exactly
# the modules named in DEPS.
function(proj_check_module_includes name files deps)
  set(included)
  foreach(f ${files})
    file(STRINGS ${f} lines REGEX "^[ \t]*#[ \t]*include[ \t]+\"[A-Z][A-Z][A-Z][A-Z]/")
    foreach(line ${lines})
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]+\"([A-Z][A-Z][A-Z][A-Z])/.*" "\\1" m
                           "${line}")
      if(NOT m STREQUAL name)
        list(APPEND included ${m})
      endif()
    endforeach()
  endforeach()
  list(REMOVE_DUPLICATES included)
  set(declared)
  foreach(d ${deps})
    if(d MATCHES "^[A-Z][A-Z][A-Z][A-Z]$")
      list(APPEND declared ${d})
    endif()
  endforeach()
  set(missing ${included})
  if(declared)
    list(REMOVE_ITEM missing ${declared})
  endif()
  set(unused ${declared})
  if(included)
    list(REMOVE_ITEM unused ${included})
  endif()
  if(missing)
    message(FATAL_ERROR "${name} includes ${missing} but does not name it in DEPS")
  endif()
  if(unused)
    message(FATAL_ERROR "${name} names ${unused} in DEPS but never includes it")
  endif()
endfunction()
