# The program's version, from project(VERSION) alone: a header for the code
# (the About page's version text) and a version resource per binary. The
# help pages take it as a parameter when the build makes them (assets/).
configure_file(${CMAKE_CURRENT_LIST_DIR}/korelle_version.h.in
               ${CMAKE_BINARY_DIR}/generated/korelle_version.h @ONLY)
include_directories(${CMAKE_BINARY_DIR}/generated)

# Adds a version resource (product "Korelle", file version PROJECT_VERSION)
# to a program or library of the Windows build.
function(korelle_version_info target description)
  get_target_property(kind ${target} TYPE)
  get_target_property(name ${target} OUTPUT_NAME)
  if(NOT name)
    set(name ${target})
  endif()
  set(KORELLE_RC_NAME ${name})
  set(KORELLE_RC_DESCRIPTION ${description})
  if(kind STREQUAL "EXECUTABLE")
    set(KORELLE_RC_FILE ${name}.exe)
    set(KORELLE_RC_TYPE VFT_APP)
  else()
    set(KORELLE_RC_FILE ${name}.dll)
    set(KORELLE_RC_TYPE VFT_DLL)
  endif()
  set(rc ${CMAKE_BINARY_DIR}/generated/${target}_version.rc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/version_info.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()

# The installer script's version (scripts/package.sh passes this folder).
file(WRITE ${CMAKE_BINARY_DIR}/generated/korelle_version.nsh
     "!define VERSION \"${PROJECT_VERSION}\"\n!define VERSION_QUAD \"${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.0.0\"\n")
