# Cross build for 32-bit Windows with Debian's MinGW-w64 compilers.
# HUELINE_MINGW_THREADS picks the compiler flavour: win32 for the executables,
# posix for the test runner (GoogleTest needs its threads).
# HUELINE_MINGW_CPU=x86_64 makes the 64-bit build instead, which only the
# tests and `make run` use on a machine that runs no 32-bit code.
set(CMAKE_SYSTEM_NAME Windows)
if(NOT HUELINE_MINGW_CPU)
  set(HUELINE_MINGW_CPU i686)
endif()
set(CMAKE_SYSTEM_PROCESSOR ${HUELINE_MINGW_CPU})
if(NOT HUELINE_MINGW_THREADS)
  set(HUELINE_MINGW_THREADS win32)
endif()
# (Both choices reach the compiler checks' own projects too.)
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES HUELINE_MINGW_CPU HUELINE_MINGW_THREADS)
set(mingw ${HUELINE_MINGW_CPU}-w64-mingw32)
set(CMAKE_C_COMPILER ${mingw}-gcc-${HUELINE_MINGW_THREADS})
set(CMAKE_CXX_COMPILER ${mingw}-g++-${HUELINE_MINGW_THREADS})
set(CMAKE_RC_COMPILER ${mingw}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${mingw})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
