# mingw-i686.cmake -- cross toolchain for 32-bit Windows programs.
set(ZX_MINGW_TRIPLET i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
