tq_add_fuzzer(profile_reader
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/profile_reader.cpp
    DEPS tq_model tq_app
    CORPUS ${TQ_FUZZ_CORPUS}/profile_reader)
