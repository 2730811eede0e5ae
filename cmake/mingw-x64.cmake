# mingw-x64.cmake -- cross toolchain for 64-bit Windows programs (the test build on machines that start no 32-bit program).
set(ZX_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
