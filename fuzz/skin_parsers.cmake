tq_add_fuzzer(skin_parsers
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/skin_parsers.cpp
    DEPS tq_toolkit_parsers
    CORPUS ${TQ_FUZZ_CORPUS}/skin_parsers)
