# The Debian package, built by CPack from whatever the install rules put in
# place:
#
#   cmake --build --preset release --target tq_packaged_programs
#   cpack --config build/release/CPackConfig.cmake -B build/release/package
#
# Included from the top-level CMakeLists.txt.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tq-dsp-audio)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "TQ")
set(CPACK_PACKAGE_CONTACT "TQ DSP Audio maintainers <maintainers@users.noreply.c-seed-d727487e.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "tuning tool for the TQ car amplifier with its DSP")
set(CPACK_PACKAGE_DESCRIPTION
    "TQ DSP Audio talks to the TQ car amplifier over USB HID, reads its whole\n"
    "sound-processing state and lets an installer tune it live: output trims,\n"
    "delays, crossovers, equalizer bands, input routing, the mixer, scenes,\n"
    "profile files, firmware updates and the automatic calibration. A virtual\n"
    "amplifier lets the program be tried without hardware.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the executables link are found by dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The program picks these fonts when they are there; the Chinese texts need the CJK one.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk, fonts-dejavu-core")
# Applies the udev rule to an amplifier that is already plugged in.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/packaging/debian/postinst)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

# CPack installs through the "preinstall" target, which would otherwise build
# everything first, tests and benchmarks included, one job at a time. The
# programs are built before (tq_packaged_programs below); installing without
# building them fails on the missing file.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

include(CPack)

# The command-line tool comes from its own folder and may be missing from a
# build; its manual page and completion go into the package only with it. Checked when the
# whole tree is read, wherever the tool's folder is added.
function(tq_finish_packaging)
    set(programs tq-dsp-audio)
    if(TARGET tq-dsp)
        list(APPEND programs tq-dsp)
        install(FILES ${PROJECT_BINARY_DIR}/packaging/man/tq-dsp.1.gz
                DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
        # bash-completion loads it on demand, by the command's name.
        install(FILES ${PROJECT_SOURCE_DIR}/packaging/completion/tq-dsp
                DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
    endif()
    # Everything the package holds, without the tests and benchmarks.
    add_custom_target(tq_packaged_programs DEPENDS ${programs} tq_manual_pages)
    message(STATUS "The package holds: ${programs}")
endfunction()
cmake_language(DEFER CALL tq_finish_packaging)
