# Cross-compiling the windows flavour with mingw-w64 (posix thread model, for std::mutex).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TRIPLE}-windres)

# zlib, libjpeg and libtiff cross-built by tools/setup.
if(DEFINED ENV{IMPN_DEPS_CACHE})
  set(PROJ_DEPS_CACHE $ENV{IMPN_DEPS_CACHE})
else()
  set(PROJ_DEPS_CACHE /var/cache/proofviewer-deps)
endif()
set(PROJ_CROSS_PREFIX ${PROJ_DEPS_CACHE}/${TRIPLE})
set(CMAKE_FIND_ROOT_PATH /usr/${TRIPLE} ${PROJ_CROSS_PREFIX})
set(CMAKE_PREFIX_PATH ${PROJ_CROSS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Tests run under wine in the project's own prefix (see tools/wine-run).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/wine-run)
