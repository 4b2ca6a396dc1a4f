tq_add_fuzzer(filter_file
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/filter_file.cpp
    DEPS tq_model tq_app
    CORPUS ${TQ_FUZZ_CORPUS}/filter_file)
