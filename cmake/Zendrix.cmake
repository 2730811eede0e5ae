# Zendrix.cmake -- the small set of helpers every folder's CMakeLists uses.
#
#   ZX_WINDOWS / ZX_NATIVE      which tree is being configured
#   ZX_BIN                      where every Windows program, DLL and test lands
#   ZX_TIME_SCALE (environment) multiplies every TIMEOUT when ctest runs (TestTimeScale.cmake)
#   zx_gui_program(target)      GUI subsystem, static runtime
#   zx_stamp_checksum(target)   writes the PE checksum after linking
#   zx_stub_code(target)        compiled as the loader stub is (Windows tree)
#   zx_windows_test(name SOURCES .. [LIBS ..] [ARGS ..] [TIMEOUT s])   GoogleTest under Wine
#   zx_native_test(name SOURCES .. [LIBS ..])                GoogleTest with ASan/UBSan
#   zx_fuzz_target(name SOURCES .. CORPUS dir [LIBS ..])     libFuzzer target; its
#                               saved corpus is replayed as a test

if(CMAKE_CROSSCOMPILING AND WIN32)
  set(ZX_WINDOWS ON)
  set(ZX_NATIVE OFF)
  enable_language(RC)
else()
  set(ZX_WINDOWS OFF)
  set(ZX_NATIVE ON)
endif()

set(ZX_ROOT ${CMAKE_CURRENT_LIST_DIR}/..)
get_filename_component(ZX_ROOT ${ZX_ROOT} ABSOLUTE)
set(ZX_BIN ${CMAKE_BINARY_DIR}/bin)
# ZX_TIME_SCALE in ctest's environment stretches every test's TIMEOUT.
set_property(DIRECTORY ${CMAKE_SOURCE_DIR} APPEND PROPERTY TEST_INCLUDE_FILES ${ZX_ROOT}/cmake/TestTimeScale.cmake)
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${ZX_BIN})
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${ZX_BIN})

if(ZX_WINDOWS)
  # Everything runs from a bare Wine prefix or a bare Windows: no runtime DLLs.
  set(CMAKE_EXE_LINKER_FLAGS "${CMAKE_EXE_LINKER_FLAGS} -static -static-libgcc -static-libstdc++")
  set(CMAKE_SHARED_LINKER_FLAGS "${CMAKE_SHARED_LINKER_FLAGS} -static -static-libgcc -static-libstdc++")
  set(CMAKE_SHARED_LIBRARY_PREFIX "")
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _CRT_SECURE_NO_WARNINGS)
else()
  # Off only for the shipped native program (dist/broltbuild), never for tests.
  option(ZX_SANITIZERS "build the native tree with ASan and UBSan" ON)
  if(ZX_SANITIZERS)
    set(ZX_SANITIZE "-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer")
    set(CMAKE_C_FLAGS "${CMAKE_C_FLAGS} ${ZX_SANITIZE}")
    set(CMAKE_CXX_FLAGS "${CMAKE_CXX_FLAGS} ${ZX_SANITIZE}")
    set(CMAKE_EXE_LINKER_FLAGS "${CMAKE_EXE_LINKER_FLAGS} ${ZX_SANITIZE}")
  endif()
endif()

# What the loader stub and the libraries it links are compiled with: small code,
# no C runtime behind it (no exceptions, unwind tables, guards or stack checks).
set(ZX_STUB_CXX_FLAGS -Os -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables -fno-unwind-tables
  -fno-threadsafe-statics -fno-stack-protector -fno-tree-loop-distribute-patterns -fomit-frame-pointer
  -fno-ident -ffunction-sections)
function(zx_stub_code target)
  if(ZX_WINDOWS)
    target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:CXX>:${ZX_STUB_CXX_FLAGS}>)
  endif()
endfunction()

macro(zx_project_warnings)
  add_compile_options(-Wall -Wextra -Wshadow -Wformat=2 -Wundef)
  if(ZX_WINDOWS)
    # The same sources build 32- and 64-bit: a pointer or handle squeezed into a
    # 32-bit integer (or back) is an error in both trees, not a 64-bit surprise.
    add_compile_options(-Werror=int-to-pointer-cast $<$<COMPILE_LANGUAGE:C>:-Werror=pointer-to-int-cast>
                        $<$<COMPILE_LANGUAGE:C>:-Werror=int-conversion>)
  endif()
endmacro()

# Shipped programs leave their debugging symbols behind.
function(zx_gui_program target)
  target_link_options(${target} PRIVATE -mwindows -s)
endfunction()

function(zx_stamp_checksum target)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND python3 ${ZX_ROOT}/scripts/pe-checksum.py $<TARGET_FILE:${target}>
    VERBATIM)
endfunction()

function(zx_windows_test name)
  if(NOT ZX_WINDOWS)
    return()
  endif()
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;DEPENDS;ARGS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main)
  if(T_DEPENDS)
    add_dependencies(${name} ${T_DEPENDS})
  endif()
  add_test(NAME ${name} COMMAND ${name} ${T_ARGS} WORKING_DIRECTORY ${ZX_BIN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 600)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT} LABELS windows)
endfunction()

function(zx_native_test name)
  if(NOT ZX_NATIVE)
    return()
  endif()
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES TIMEOUT 300 LABELS native)
endfunction()

# Fuzz targets are built only by clang in the native tree. The sources are
# compiled into the target itself so that they carry the fuzzer's coverage.
function(zx_fuzz_target name)
  if(NOT ZX_NATIVE OR NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    return()
  endif()
  cmake_parse_arguments(T "" "CORPUS" "SOURCES;LIBS;INCLUDES" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  target_include_directories(${name} PRIVATE ${T_INCLUDES})
  target_link_libraries(${name} PRIVATE ${T_LIBS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
  file(MAKE_DIRECTORY ${T_CORPUS})
  add_test(NAME ${name}_corpus COMMAND ${name} -runs=0 ${T_CORPUS})
  set_tests_properties(${name}_corpus PROPERTIES TIMEOUT 300 LABELS fuzz)
  # make fuzz finds the corpus next to the target
  file(WRITE ${CMAKE_BINARY_DIR}/fuzz/${name}.corpus ${T_CORPUS})
endfunction()
