# The Windows program's resources: its resource script, compiled into the executable itself (a
# static library's resources never reach a program), and the German language library of the
# tests, built beside it. Both take their pictures from the art drawn at build time.
#
# wkrx_add_program_resources(<executable>) puts the script into the program.
enable_language(RC)
set(WKRX_PROGRAM_DIR ${CMAKE_CURRENT_LIST_DIR})
set(WKRX_ART_DIR ${CMAKE_BINARY_DIR}/art/win)
proj_program_art(WKRX_art FLAVOUR win OUT_DIR ${WKRX_ART_DIR})

# A resource script finds its pictures, the tree control's script and the manifest through its
# include path, and is compiled again when one of them is drawn anew.
function(wkrx_resource_script script)
  set_property(
    SOURCE ${script} APPEND PROPERTY INCLUDE_DIRECTORIES ${WKRX_ART_DIR}
                                     ${PROJECT_SOURCE_DIR}/winplatformlib/src ${WKRX_PROGRAM_DIR})
  set_property(SOURCE ${script} APPEND PROPERTY OBJECT_DEPENDS ${WKRX_art_FILES}
                                                ${WKRX_PROGRAM_DIR}/HalvorenKRX.manifest)
endfunction()

function(wkrx_add_program_resources target)
  set(script ${WKRX_PROGRAM_DIR}/HalvorenKRX.rc)
  target_sources(${target} PRIVATE ${script})
  wkrx_resource_script(${script})
  add_dependencies(${target} WKRX_art HalvorenKRX_de)
endfunction()

add_library(HalvorenKRX_de MODULE ${WKRX_PROGRAM_DIR}/HalvorenKRX_de.rc)
wkrx_resource_script(${WKRX_PROGRAM_DIR}/HalvorenKRX_de.rc)
set_target_properties(HalvorenKRX_de PROPERTIES PREFIX "" LINKER_LANGUAGE C)
target_link_options(HalvorenKRX_de PRIVATE -nostdlib -Wl,-e,0)
add_dependencies(HalvorenKRX_de WKRX_art)
