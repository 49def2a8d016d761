# Cross build for 32-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-i686).
#
#   cmake -S . -B build-win32 -G Ninja \
#         -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake
#
# The programs are linked statically, so they need no MinGW DLL on the
# Windows machine. Test programs run under wine (the crosscompiling
# emulator), which ctest uses both to list and to run the cases, through
# wine-run, which runs a program again when wine itself crashed at its end.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(SYMCONV_MINGW_PREFIX i686-w64-mingw32)
# The posix thread model gives the full std::thread / std::mutex that
# GoogleTest and the standard library expect from g++ 12.
find_program(CMAKE_C_COMPILER NAMES ${SYMCONV_MINGW_PREFIX}-gcc-posix
                                    ${SYMCONV_MINGW_PREFIX}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${SYMCONV_MINGW_PREFIX}-g++-posix
                                      ${SYMCONV_MINGW_PREFIX}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${SYMCONV_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${SYMCONV_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# A bare Windows has no libstdc++, libgcc or winpthread DLL.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

find_program(SYMCONV_WINE NAMES wine REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run ${SYMCONV_WINE})
