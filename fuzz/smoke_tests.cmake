# fuzz-smoke: every fuzz target runs for a short while from its committed
# corpus as part of the normal test run, so that a crash shows up early; the
# long runs are done by hand. The targets are built with clang in a folder of
# their own, whatever compiler builds the rest. A target <name>_fuzz.cpp in
# fuzz/ gets its test here without further ado.
#   ctest -L fuzz-smoke     only these;   ctest -LE fuzz-smoke   all but these
find_program(CLIPWRIGHT_CLANG clang)
find_program(CLIPWRIGHT_CLANGXX clang++)
if(NOT CLIPWRIGHT_CLANG OR NOT CLIPWRIGHT_CLANGXX)
    message(STATUS "clang not found: no fuzz-smoke tests")
    return()
endif()

set(FUZZ_SMOKE_SECONDS 20)
set(fuzz_dir ${CMAKE_CURRENT_LIST_DIR})
set(smoke_dir ${CMAKE_BINARY_DIR}/fuzz-smoke)

add_test(NAME fuzz_smoke_build
         COMMAND ${CMAKE_COMMAND} -DMODE=build -DFUZZ_DIR=${fuzz_dir} -DBUILD_DIR=${smoke_dir}
                 -DGENERATOR=${CMAKE_GENERATOR} -DCC=${CLIPWRIGHT_CLANG} -DCXX=${CLIPWRIGHT_CLANGXX}
                 -P ${fuzz_dir}/smoke.cmake)
set_tests_properties(fuzz_smoke_build PROPERTIES FIXTURES_SETUP fuzz_smoke LABELS fuzz-smoke TIMEOUT 1800)

file(GLOB fuzz_sources CONFIGURE_DEPENDS ${fuzz_dir}/*_fuzz.cpp)
foreach(source ${fuzz_sources})
    get_filename_component(target ${source} NAME_WE)
    string(REGEX REPLACE "_fuzz$" "" name ${target})
    add_test(NAME fuzz_smoke.${name}
             COMMAND ${CMAKE_COMMAND} -DMODE=run -DFUZZER=${smoke_dir}/${target} -DCORPUS=${fuzz_dir}/corpus/${name}
                     -DWORK=${smoke_dir}/runs/${name} -DSECONDS=${FUZZ_SMOKE_SECONDS} -P ${fuzz_dir}/smoke.cmake)
    set_tests_properties(fuzz_smoke.${name} PROPERTIES FIXTURES_REQUIRED fuzz_smoke LABELS fuzz-smoke TIMEOUT 300)
endforeach()
