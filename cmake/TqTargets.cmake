# Helpers shared by every layer: warnings, libraries, tests, fuzzers.

function(tq_set_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra)
    # GCC 12's optimiser reports std::string and std::vector internals inlined
    # at -O2 as overlapping or out-of-bounds copies (false positives in
    # libstdc++); the unoptimised debug and sanitizer builds keep these checks.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
        target_compile_options(${target} PRIVATE
            $<$<NOT:$<CONFIG:Debug>>:-Wno-restrict -Wno-array-bounds -Wno-stringop-overflow -Wno-stringop-overread>)
    endif()
    if(TQ_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()

# tq_add_library(<name> SOURCES ... [DEPS ...])
# One static library per layer; its folder's parent is the include root, so
# code includes "device/device_link.h", "app/log.h", ...
function(tq_add_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
    tq_set_warnings(${name})
endfunction()

# tq_add_test(<name> SOURCES ... [DEPS ...] [LABELS ...])
# One test program per component, linked with GoogleTest's main unless it
# brings its own (UI tests create their QApplication in main).
function(tq_add_test name)
    if(NOT TQ_BUILD_TESTS)
        return()
    endif()
    cmake_parse_arguments(ARG "OWN_MAIN" "" "SOURCES;DEPS;LABELS" ${ARGN})
    if(NOT ARG_SOURCES)
        return()  # a tests folder that has no tests yet
    endif()
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gmock)
    if(NOT ARG_OWN_MAIN)
        target_link_libraries(${name} PRIVATE GTest::gtest_main)
    endif()
    tq_set_warnings(${name})
    # Pictures a test takes go under the build folder, wherever it runs from.
    target_compile_definitions(${name} PRIVATE
        TQ_SCREENSHOT_DIR="${CMAKE_CURRENT_BINARY_DIR}/screenshots")
    # An empty LABELS value would shift the property pairs after it.
    set(labels "")
    if(ARG_LABELS)
        set(labels LABELS "${ARG_LABELS}")
    endif()
    gtest_discover_tests(${name}
        DISCOVERY_MODE PRE_TEST
        WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
        PROPERTIES ${labels} TIMEOUT 300
                   ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

# tq_add_fuzzer(<name> SOURCES ... [DEPS ...] [CORPUS dir])
# With clang and TQ_BUILD_FUZZERS the target is a libFuzzer binary. Every
# build also makes <name>_replay, which runs the target once over each file of
# the seed corpus, so CI exercises the fuzz entry points without clang.
function(tq_add_fuzzer name)
    cmake_parse_arguments(ARG "" "CORPUS" "SOURCES;DEPS" ${ARGN})
    if(TQ_BUILD_FUZZERS)
        add_executable(${name} ${ARG_SOURCES})
        target_link_libraries(${name} PRIVATE ${ARG_DEPS})
        target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
        target_link_options(${name} PRIVATE -fsanitize=fuzzer)
        tq_set_warnings(${name})
    endif()
    add_executable(${name}_replay ${ARG_SOURCES} ${PROJECT_SOURCE_DIR}/fuzz/replay_main.cpp)
    target_link_libraries(${name}_replay PRIVATE ${ARG_DEPS})
    tq_set_warnings(${name}_replay)
    if(TQ_BUILD_TESTS AND ARG_CORPUS)
        add_test(NAME ${name}_replay COMMAND ${name}_replay ${ARG_CORPUS})
        set_tests_properties(${name}_replay PROPERTIES LABELS fuzz TIMEOUT 300)
    endif()
endfunction()
