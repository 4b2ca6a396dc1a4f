tq_add_fuzzer(device_frames
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/device_frames.cpp
    DEPS tq_device tq_app tq_platform
    CORPUS ${TQ_FUZZ_CORPUS}/device_frames)
