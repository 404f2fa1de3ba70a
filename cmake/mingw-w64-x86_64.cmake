# Cross build for 64-bit Windows with Debian's MinGW-w64 (posix threads).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(FACET_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER   ${FACET_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${FACET_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${FACET_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${FACET_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Every Windows program of the build runs under Wine here, through the harness's runner.
get_filename_component(_facet_root "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR "${_facet_root}/tools/wine-run")
