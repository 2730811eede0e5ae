# mingw.cmake -- what both MinGW-w64 cross toolchains share; the caller sets ZX_MINGW_TRIPLET and the processor.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${ZX_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZX_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${ZX_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ZX_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Test programs run through Wine; the wrapper picks the private prefix.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run)
