# Cross build of the 32-bit Windows console program with MinGW-w64 (Debian: g++-mingw-w64-i686):
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake
set(VESTALO_MINGW_PREFIX i686-w64-mingw32)
set(VESTALO_WINE_NAMES wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
