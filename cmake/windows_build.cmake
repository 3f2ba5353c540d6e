# What tells the two Windows builds apart, the product (32-bit) and its
# twin (64-bit, for the Wine tests where no 32-bit code runs):
#   KESTROVA_MANIFEST_ARCH  the processor the manifest names; real Windows
#                           refuses an exe whose manifest names another
#   KESTROVA_WINE_BITS      which Wine bench runs the build's programs
# and the tests that run them under Wine (scripts/lib/wine-bench.sh): each
# is told the bits of its build, so that the bench picks the prefix and
# loader for them, and skips (exit 77) the 32-bit build's tests on a
# machine that runs no 32-bit code.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(KESTROVA_MANIFEST_ARCH amd64)
  set(KESTROVA_WINE_BITS 64)
else()
  set(KESTROVA_MANIFEST_ARCH x86)
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
