# Cross build of the same program as a 64-bit Windows console program with MinGW-w64
# (Debian: g++-mingw-w64-x86-64). It lets the tests run under wine64 on machines whose
# kernel cannot run 32-bit programs; the program people use is the 32-bit one.
set(VESTALO_MINGW_PREFIX x86_64-w64-mingw32)
set(VESTALO_WINE_NAMES wine64)
set(VESTALO_WINE_PATHS /usr/lib/wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
