# ccache as the compiler launcher, keyed so that another clone of the project
# on the same machine (CI's fresh clone, a second work tree) reuses what this
# one compiled: paths under the source folder are made relative before they
# are hashed, and the working directory is left out of the key.
option(TQ_CCACHE "Compile through ccache when it is installed" ON)
if(NOT TQ_CCACHE)
    return()
endif()
find_program(TQ_CCACHE_PROGRAM ccache)
if(NOT TQ_CCACHE_PROGRAM)
    message(STATUS "ccache not found: compiling without a cache")
    return()
endif()
find_program(TQ_ENV_PROGRAM env REQUIRED)

# Three sanitizer and release builds of every test fill about 6 GB.
set(TQ_CCACHE_MAXSIZE "20G" CACHE STRING "Size limit of the compiler cache")
set(launcher
    ${TQ_ENV_PROGRAM}
    CCACHE_BASEDIR=${PROJECT_SOURCE_DIR}
    CCACHE_NOHASHDIR=true
    CCACHE_MAXSIZE=${TQ_CCACHE_MAXSIZE}
    CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime
    ${TQ_CCACHE_PROGRAM})
set(CMAKE_C_COMPILER_LAUNCHER ${launcher})
set(CMAKE_CXX_COMPILER_LAUNCHER ${launcher})
