tq_add_fuzzer(firmware_image_fuzz
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/firmware_image_fuzz.cpp
    DEPS tq_firmware tq_app
    CORPUS ${TQ_FUZZ_CORPUS}/firmware_image)
