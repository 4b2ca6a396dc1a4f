# The program's version has one home, app/version.h (the about window and the
# log banner show it). The project, and with it the package, take it from
# there, so a new version is written once.
#
# Sets TQ_VERSION to MAJOR.MINOR.PATCH, without the "v" the program shows.

set(TQ_VERSION_HEADER ${CMAKE_CURRENT_LIST_DIR}/../app/version.h)
file(STRINGS ${TQ_VERSION_HEADER} tq_version_line REGEX "kSoftwareVersion[ \t]*=")
if(NOT tq_version_line MATCHES "\"v?([0-9]+\\.[0-9]+\\.[0-9]+)\"")
    message(FATAL_ERROR "app/version.h: no kSoftwareVersion of the form \"vMAJOR.MINOR.PATCH\"")
endif()
set(TQ_VERSION ${CMAKE_MATCH_1})
# A new version in the header configures the build again.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${TQ_VERSION_HEADER})
unset(tq_version_line)
