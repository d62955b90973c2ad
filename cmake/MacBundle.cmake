# proj_mac_bundle(<executable target>
#   IDENTIFIER <reverse-DNS name>  VERSION <version>  CREATOR <four characters>
#   [NAME <bundle name>]            (default: the target's name; the bundle is <name>.app)
#   [OUT_DIR <folder>]              (default: the current binary folder)
#   [ICON <file name>]              (among the resources, for "CFBundleIconFile")
#   [HELP_BOOK <folder> <title>]    (a help book of one page in en.lproj/<folder>)
#   [RESOURCES <files>...]          (copied into Contents/Resources)
#   [LOCALIZED <files>...]          (each in a <language>.lproj folder, copied into the same
#                                    folder under Contents/Resources)
#   [ART <art target>]              (a proj_program_art target: all of its files are resources)
#   [EMPTY_COLOR_DATABASES <names>...])  (colour databases without entries, written by the build)
#
# Lays out the Mac program's application bundle at build time:
#   <name>.app/Contents/MacOS/<executable>  (the target is linked there, so that the running
#                                            program finds its main bundle around itself)
#   <name>.app/Contents/Info.plist, PkgInfo ('APPL' and the creator)
#   <name>.app/Contents/Resources/...
# The custom target <executable target>_bundle assembles the rest; the executable depends on
# it, and it is part of the default build. PROJ_MAC_BUNDLE_DIR_<executable target> holds the
# bundle's path (in the caller's scope).
# Appends one string entry of a property list to the variable.
macro(proj_mac_bundle_plist_entry var key value)
  string(APPEND ${var} "\t<key>${key}</key>\n\t<string>${value}</string>\n")
endmacro()

function(proj_mac_bundle exe)
  cmake_parse_arguments(B "" "IDENTIFIER;VERSION;CREATOR;NAME;OUT_DIR;ICON;ART"
                        "HELP_BOOK;RESOURCES;LOCALIZED;EMPTY_COLOR_DATABASES" ${ARGN})
  if(NOT B_IDENTIFIER OR NOT B_VERSION OR NOT B_CREATOR MATCHES "^....$")
    message(FATAL_ERROR "proj_mac_bundle(${exe}): give IDENTIFIER, VERSION and a CREATOR of four "
                        "characters")
  endif()
  if(B_HELP_BOOK)
    list(LENGTH B_HELP_BOOK help_length)
    if(NOT help_length EQUAL 2)
      message(FATAL_ERROR "proj_mac_bundle(${exe}): HELP_BOOK takes a folder and a title")
    endif()
  endif()
  if(NOT B_NAME)
    set(B_NAME ${exe})
  endif()
  if(NOT B_OUT_DIR)
    set(B_OUT_DIR ${CMAKE_CURRENT_BINARY_DIR})
  endif()
  set(bundle ${B_OUT_DIR}/${B_NAME}.app)
  set(contents ${bundle}/Contents)
  set(resources ${contents}/Resources)
  set(staging ${CMAKE_CURRENT_BINARY_DIR}/${exe}_bundle)
  set_target_properties(${exe} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${contents}/MacOS)
  get_target_property(executable ${exe} OUTPUT_NAME)
  if(NOT executable)
    set(executable ${exe})
  endif()
  # Pairs of a file and where it goes in the bundle; the files the build makes there.
  set(copies)
  set(outputs)

  # Info.plist, PkgInfo and the help page are written at configure time beside the build files
  # and copied in.
  string(
    CONCAT info
           "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
           "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
           "<plist version=\"1.0\">\n<dict>\n")
  proj_mac_bundle_plist_entry(info CFBundleDevelopmentRegion English)
  proj_mac_bundle_plist_entry(info CFBundleExecutable ${executable})
  proj_mac_bundle_plist_entry(info CFBundleIdentifier ${B_IDENTIFIER})
  proj_mac_bundle_plist_entry(info CFBundleInfoDictionaryVersion 6.0)
  proj_mac_bundle_plist_entry(info CFBundleName ${B_NAME})
  proj_mac_bundle_plist_entry(info CFBundlePackageType APPL)
  proj_mac_bundle_plist_entry(info CFBundleSignature ${B_CREATOR})
  proj_mac_bundle_plist_entry(info CFBundleVersion ${B_VERSION})
  proj_mac_bundle_plist_entry(info CFBundleShortVersionString ${B_VERSION})
  if(B_ICON)
    proj_mac_bundle_plist_entry(info CFBundleIconFile ${B_ICON})
  endif()
  if(B_HELP_BOOK)
    list(GET B_HELP_BOOK 0 help_folder)
    list(GET B_HELP_BOOK 1 help_title)
    proj_mac_bundle_plist_entry(info CFBundleHelpBookFolder ${help_folder})
    proj_mac_bundle_plist_entry(info CFBundleHelpBookName "${help_title}")
    string(CONCAT help "<html><head><meta name=\"AppleTitle\" content=\"${help_title}\">"
                  "<title>${help_title}</title></head><body><h1>${help_title}</h1></body></html>\n")
    file(CONFIGURE OUTPUT ${staging}/help.html CONTENT "${help}" @ONLY)
    list(APPEND copies ${staging}/help.html ${resources}/en.lproj/${help_folder}/index.html)
  endif()
  string(APPEND info "</dict>\n</plist>\n")
  # Rewritten only when they change, so that a new configuration copies nothing.
  file(CONFIGURE OUTPUT ${staging}/Info.plist CONTENT "${info}" @ONLY)
  file(CONFIGURE OUTPUT ${staging}/PkgInfo CONTENT "APPL${B_CREATOR}" @ONLY)
  list(APPEND copies ${staging}/Info.plist ${contents}/Info.plist ${staging}/PkgInfo
       ${contents}/PkgInfo)

  foreach(file ${B_RESOURCES})
    get_filename_component(name ${file} NAME)
    list(APPEND copies ${file} ${resources}/${name})
  endforeach()
  foreach(file ${B_LOCALIZED})
    get_filename_component(folder ${file} DIRECTORY)
    get_filename_component(language ${folder} NAME)
    if(NOT language MATCHES "\\.lproj$")
      message(FATAL_ERROR "proj_mac_bundle(${exe}): ${file} is not in a <language>.lproj folder")
    endif()
    get_filename_component(name ${file} NAME)
    list(APPEND copies ${file} ${resources}/${language}/${name})
  endforeach()
  set(art_target)
  if(B_ART)
    set(art_target ${B_ART})
    foreach(file ${${B_ART}_FILES})
      get_filename_component(name ${file} NAME)
      list(APPEND copies ${file} ${resources}/${name})
    endforeach()
  endif()

  # One copy step per file, so that a changed file is copied again.
  list(LENGTH copies count)
  math(EXPR last "${count} - 1")
  foreach(i RANGE 0 ${last} 2)
    math(EXPR j "${i} + 1")
    list(GET copies ${i} from)
    list(GET copies ${j} to)
    get_filename_component(to_folder ${to} DIRECTORY)
    add_custom_command(
      OUTPUT ${to}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${to_folder}
      COMMAND ${CMAKE_COMMAND} -E copy ${from} ${to}
      DEPENDS ${from} ${art_target}
      VERBATIM)
    list(APPEND outputs ${to})
  endforeach()

  if(B_EMPTY_COLOR_DATABASES)
    set(databases)
    foreach(name ${B_EMPTY_COLOR_DATABASES})
      list(APPEND databases ${resources}/${name})
    endforeach()
    add_custom_command(
      OUTPUT ${databases}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${resources}
      COMMAND MKRX_WriteEmptyColorDB ${databases}
      DEPENDS MKRX_WriteEmptyColorDB
      VERBATIM)
    list(APPEND outputs ${databases})
  endif()

  add_custom_target(${exe}_bundle ALL DEPENDS ${outputs})
  if(art_target)
    add_dependencies(${exe}_bundle ${art_target})
  endif()
  add_dependencies(${exe} ${exe}_bundle)
  set(PROJ_MAC_BUNDLE_DIR_${exe} ${bundle} PARENT_SCOPE)
endfunction()
