# TestTimeScale.cmake -- read by ctest, not by cmake: every test's TIMEOUT times the
# whole number in ZX_TIME_SCALE, the factor that also stretches the waits inside the
# tests (support/). A slow machine, such as an emulator, sets it for one run without
# configuring the tree again. Included before any test is listed, so it wraps the
# command that lists their properties.
if("$ENV{ZX_TIME_SCALE}" MATCHES "^[1-9][0-9]*$" AND NOT "$ENV{ZX_TIME_SCALE}" STREQUAL "1")
  function(set_tests_properties)
    # Each argument passed on as it came (a value may hold a ';'), the TIMEOUT's scaled.
    set(call "_set_tests_properties(")
    set(timeout_next FALSE)
    math(EXPR last "${ARGC} - 1")
    foreach(i RANGE ${last})
      set(arg "${ARGV${i}}")
      if(timeout_next AND arg MATCHES "^[0-9]+$")
        math(EXPR arg "${arg} * $ENV{ZX_TIME_SCALE}")
      endif()
      set(timeout_next FALSE)
      if(arg STREQUAL "TIMEOUT")
        set(timeout_next TRUE)
      endif()
      string(APPEND call " [==[${arg}]==]")
    endforeach()
    cmake_language(EVAL CODE "${call})")
  endfunction()
endif()
