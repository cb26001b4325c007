# Turns a target into an executable that starts on a stock Windows 95 on a
# 486 and links no C or C++ runtime:
#
#   hueline_win95_executable(TARGET gui|console ENTRY)
#
# - stamps it with RELEASE_TIME (the linker takes SOURCE_DATE_EPOCH for the
#   time stamp of the PE header) and relinks it when RELEASE_TIME_FILE changes;
# - links with -nostdlib, the process entry ENTRY (the program's own WINAPI
#   function, in place of the runtime's; its symbol is _ENTRY@0 on 32-bit
#   Windows, where it is linked with no relocations, at its fixed base),
#   subsystem gui or console, version 4.0, and the
#   few memory helpers the compiler may call (platform/runtime_win32.cpp);
# - copies the result through objcopy, which writes every section's raw size
#   as a whole number of file-alignment blocks: the linker leaves the
#   resource section's raw size unrounded, which the PE format forbids;
# - runs tools/check_exe.py on the result (imports on the Windows 95 list, no
#   instruction newer than the 486). The check leaves TARGET.checked beside
#   the executable only when it passes; the build fails otherwise, and the
#   release package is made only from checked executables. The 64-bit build,
#   which only the tests run and which is never released, is not checked.
#
# The compile flags (no exceptions, no RTTI, -march=i486, ...) are set for the
# whole product build, so that the libraries it links are built the same way.
set(HUELINE_CHECK_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/../tools/check_exe.py)
get_filename_component(HUELINE_CHECK_SCRIPT ${HUELINE_CHECK_SCRIPT} ABSOLUTE)

function(hueline_win95_executable target subsystem entry)
  if(subsystem STREQUAL "gui")
    set(linker_subsystem windows)
  elseif(subsystem STREQUAL "console")
    set(linker_subsystem console)
  else()
    message(FATAL_ERROR "hueline_win95_executable: subsystem is gui or console, not ${subsystem}")
  endif()
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(entry _${entry}@0)
    # Windows 95 loads an executable at its own base and never moves it:
    # the relocations the linker would add for a movable one are left out.
    target_link_options(${target} PRIVATE -Wl,--disable-dynamicbase -Wl,--disable-reloc-section)
  endif()
  target_sources(${target} PRIVATE $<TARGET_OBJECTS:runtime_win32>)
  target_link_options(${target} PRIVATE
    -nostdlib -s -Wl,--gc-sections
    -Wl,--subsystem,${linker_subsystem}
    -Wl,--major-subsystem-version,4 -Wl,--minor-subsystem-version,0
    -Wl,--major-os-version,4 -Wl,--minor-os-version,0
    -Wl,-e,${entry}
  )
  set_target_properties(${target} PROPERTIES
    CXX_LINKER_LAUNCHER "${CMAKE_COMMAND};-E;env;SOURCE_DATE_EPOCH=${RELEASE_TIME}"
    LINK_DEPENDS ${RELEASE_TIME_FILE})
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${RELEASE_TIME} ${CMAKE_OBJCOPY} $<TARGET_FILE:${target}>
    COMMENT "Rounding the sections of ${target} to the file alignment"
    VERBATIM)

  if(NOT CMAKE_SIZEOF_VOID_P EQUAL 4)
    return()
  endif()
  set(checked ${CMAKE_BINARY_DIR}/${target}.checked)
  set(lists ${CMAKE_SOURCE_DIR}/tools/win95/imports.txt ${CMAKE_SOURCE_DIR}/tools/win95/kernel32.txt)
  add_custom_command(OUTPUT ${checked}
    COMMAND ${CMAKE_COMMAND} -E remove -f ${checked}
    COMMAND Python3::Interpreter ${HUELINE_CHECK_SCRIPT} ${CMAKE_OBJDUMP} $<TARGET_FILE:${target}> ${subsystem}
    COMMAND ${CMAKE_COMMAND} -E touch ${checked}
    DEPENDS ${target} ${HUELINE_CHECK_SCRIPT} ${lists}
    COMMENT "Checking ${target} for Windows 95 on a 486"
    VERBATIM)
  add_custom_target(${target}_checked ALL DEPENDS ${checked})
endfunction()
