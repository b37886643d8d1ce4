# Cross build of the Windows program with Debian's MinGW-w64 (POSIX threads).
# Included by the two architecture files, which set TOOLCHAIN_PREFIX and
# CMAKE_SYSTEM_PROCESSOR first.
set(CMAKE_SYSTEM_NAME Windows)

find_program(_pikora_posix_cxx ${TOOLCHAIN_PREFIX}-g++-posix)
find_program(_pikora_posix_cc ${TOOLCHAIN_PREFIX}-gcc-posix)
if(_pikora_posix_cxx AND _pikora_posix_cc)
  set(CMAKE_C_COMPILER ${_pikora_posix_cc})
  set(CMAKE_CXX_COMPILER ${_pikora_posix_cxx})
else()
  set(CMAKE_C_COMPILER ${TOOLCHAIN_PREFIX}-gcc)
  set(CMAKE_CXX_COMPILER ${TOOLCHAIN_PREFIX}-g++)
endif()
set(CMAKE_RC_COMPILER ${TOOLCHAIN_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TOOLCHAIN_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
