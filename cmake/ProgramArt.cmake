# proj_program_art(<target> FLAVOUR win|mac OUT_DIR <dir>)
#
# The programs' art (toolbar glyphs, icons, cursors, pictures) is drawn at build time by
# tools/draw-program-art into OUT_DIR in the build tree. <target> is a custom target that draws
# it; <target>_FILES (set in the caller's scope) lists the full paths of the files, for a
# resource script's OBJECT_DEPENDS or a bundle's copy step. The file names are the tool's own
# list, asked at configure time; configuring again follows a change of the tool.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(PROJ_PROGRAM_ART_TOOL ${CMAKE_CURRENT_LIST_DIR}/../tools/draw-program-art)

function(proj_program_art target)
  cmake_parse_arguments(A "" "FLAVOUR;OUT_DIR" "" ${ARGN})
  if(NOT A_FLAVOUR MATCHES "^(win|mac)$" OR NOT A_OUT_DIR)
    message(FATAL_ERROR "proj_program_art(${target}): give FLAVOUR win|mac and OUT_DIR")
  endif()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJ_PROGRAM_ART_TOOL})
  execute_process(COMMAND ${Python3_EXECUTABLE} ${PROJ_PROGRAM_ART_TOOL} --list ${A_FLAVOUR}
                  OUTPUT_VARIABLE names RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "draw-program-art --list ${A_FLAVOUR} failed")
  endif()
  string(REGEX REPLACE "\n$" "" names "${names}")
  string(REPLACE "\n" ";" names "${names}")
  list(TRANSFORM names PREPEND ${A_OUT_DIR}/ OUTPUT_VARIABLE files)
  add_custom_command(
    OUTPUT ${files}
    COMMAND ${Python3_EXECUTABLE} ${PROJ_PROGRAM_ART_TOOL} --flavour ${A_FLAVOUR} --out ${A_OUT_DIR}
    DEPENDS ${PROJ_PROGRAM_ART_TOOL}
    COMMENT "Drawing the ${A_FLAVOUR} program art"
    VERBATIM)
  add_custom_target(${target} DEPENDS ${files})
  set(${target}_FILES ${files} PARENT_SCOPE)
endfunction()

# The tool's own test: it draws both flavours into a temporary folder and reads every file back;
# with a mingw-w64 resource compiler at hand, a resource script takes every Windows file.
find_program(PROJ_WINDRES NAMES x86_64-w64-mingw32-windres windres)
add_test(NAME ProgramArt COMMAND ${Python3_EXECUTABLE}
                                 ${CMAKE_CURRENT_LIST_DIR}/../tools/tests/draw_program_art_test.py)
set_tests_properties(
  ProgramArt PROPERTIES LABELS Art ENVIRONMENT
                        "ART_TOOL=${PROJ_PROGRAM_ART_TOOL};ART_WINDRES=${PROJ_WINDRES}")
