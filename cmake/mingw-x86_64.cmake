# Cross build for 64-bit Windows with Debian's MinGW-w64
# (g++-mingw-w64-x86-64), whose tests run under wine64: the Windows tests'
# home on machines whose kernel cannot execute 32-bit programs.
#
#   cmake -S . -B build-win64 -G Ninja \
#         -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake

set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(SYMCONV_MINGW_PREFIX x86_64-w64-mingw32)
# Debian keeps the 64-bit loader out of PATH: /usr/bin/wine would pick the
# 32-bit one whenever wine32 is installed.
set(SYMCONV_WINE_NAMES wine64)
set(SYMCONV_WINE_PATHS /usr/lib/wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
