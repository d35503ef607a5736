# What the MinGW-w64 toolchain files share; they set VESTALO_MINGW_PREFIX and VESTALO_WINE_NAMES.
set(CMAKE_SYSTEM_NAME Windows)

# The POSIX thread model: GoogleTest needs std::mutex, which the win32 model lacks in GCC 12.
set(CMAKE_C_COMPILER ${VESTALO_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VESTALO_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${VESTALO_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VESTALO_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Every program is linked statically, so it needs nothing beyond what Windows itself has.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# The tests run under Wine when it is installed.
find_program(VESTALO_WINE NAMES ${VESTALO_WINE_NAMES} PATHS ${VESTALO_WINE_PATHS})
if(VESTALO_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${VESTALO_WINE})
endif()
