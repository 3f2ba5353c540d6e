# Tests that run Windows programs under Wine (scripts/lib/wine-bench.sh).
# Each is told which build's programs it runs, so that the bench picks the
# prefix and loader for them, and skips (exit 77) the 32-bit build's tests
# on a machine that runs no 32-bit code.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(KESTROVA_WINE_BITS 64)
else()
  set(KESTROVA_WINE_BITS 32)
endif()

# kestrova_wine_test(NAME [BEHAVIOUR] TIMEOUT SECONDS COMMAND ...)
# BEHAVIOUR: a test of what the program does (label "behaviour"), which the
# 64-bit twin runs too where the 32-bit exe runs, so that the twin never rots.
function(kestrova_wine_test name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "BEHAVIOUR" "TIMEOUT" "COMMAND")
  add_test(NAME ${name} COMMAND ${arg_COMMAND})
  set(labels wine)
  if(arg_BEHAVIOUR)
    list(APPEND labels behaviour)
  endif()
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT KESTROVA_WINE_BITS=${KESTROVA_WINE_BITS}
    LABELS "${labels}" SKIP_RETURN_CODE 77 TIMEOUT ${arg_TIMEOUT})
endfunction()
