# The parts of the MinGW-w64 cross builds that do not depend on the CPU.
# A toolchain file sets CMAKE_SYSTEM_PROCESSOR, SYMCONV_MINGW_PREFIX and
# SYMCONV_WINE_NAMES (with SYMCONV_WINE_PATHS where the distribution keeps
# the loader off PATH) and then includes this file.

set(CMAKE_SYSTEM_NAME Windows)

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

find_program(SYMCONV_WINE NAMES ${SYMCONV_WINE_NAMES}
             PATHS ${SYMCONV_WINE_PATHS} REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run ${SYMCONV_WINE})
