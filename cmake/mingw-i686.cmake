# Cross build for 32-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-i686):
# the shipped programs.
#
#   cmake -S . -B build-win32 -G Ninja \
#         -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake
#
# The programs are linked statically, so they need no MinGW DLL on the
# Windows machine. Test programs run under wine (the crosscompiling
# emulator), which ctest uses both to list and to run the cases, through
# wine-run, which runs a program again when wine itself crashed at its end.
# Wine runs 32-bit programs only where the kernel can execute 32-bit code;
# elsewhere the tests run in the 64-bit build (mingw-x86_64.cmake).

set(CMAKE_SYSTEM_PROCESSOR i686)
set(SYMCONV_MINGW_PREFIX i686-w64-mingw32)
set(SYMCONV_WINE_NAMES wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
