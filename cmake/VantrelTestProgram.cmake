# A test program: compiled without optimisation (the code it tests keeps its own flags) and with
# the headers that every test file parses precompiled once. Parsing GoogleTest and Qt, then
# optimising the expanded test bodies, took most of the build's time.
#
#   vantrel_test_program(<target> [HEADERS <header>...])
function(vantrel_test_program target)
  cmake_parse_arguments(TEST_PROGRAM "" "" "HEADERS" ${ARGN})
  target_compile_options(${target} PRIVATE -O0)
  target_precompile_headers(${target} PRIVATE <gtest/gtest.h> <QtCore/QtCore>
                            ${TEST_PROGRAM_HEADERS})
endfunction()
