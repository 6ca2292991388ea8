# Debian's hardening flags for optimised builds, taken from dpkg-buildflags as a Debian package
# build would take them: stack protector, _FORTIFY_SOURCE, format-string checks, full RELRO with
# immediate binding; executables are position-independent. CMake's build type keeps choosing the
# optimisation and debug-information flags. On by default for Release and RelWithDebInfo builds
# where dpkg-buildflags exists; never with the sanitizers, whose own instrumentation they disturb.
# Also drops RUNPATH from what is built and installed: everything Allot links lives in the
# system's library folders.
set(_allot_flags_default OFF)
find_program(ALLOT_DPKG_BUILDFLAGS dpkg-buildflags)
if(CMAKE_BUILD_TYPE MATCHES "^(Release|RelWithDebInfo)$" AND ALLOT_DPKG_BUILDFLAGS
   AND NOT ALLOT_SANITIZED_BUILD)
  set(_allot_flags_default ON)
endif()
option(ALLOT_DEBIAN_BUILD_FLAGS "Build with Debian's hardening flags (dpkg-buildflags)"
       ${_allot_flags_default})

set(CMAKE_SKIP_RPATH ON)

if(NOT ALLOT_DEBIAN_BUILD_FLAGS)
  return()
endif()
if(NOT ALLOT_DPKG_BUILDFLAGS)
  message(FATAL_ERROR "ALLOT_DEBIAN_BUILD_FLAGS needs dpkg-buildflags (package dpkg-dev)")
endif()

# _allot_debian_flags(NAME OUT): one of dpkg-buildflags' variables, as a list of flags.
function(_allot_debian_flags name out)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
            "DEB_CXXFLAGS_MAINT_STRIP=-g -O2" ${ALLOT_DPKG_BUILDFLAGS} --get ${name}
    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
    OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  separate_arguments(flags UNIX_COMMAND "${flags}")
  set(${out} ${flags} PARENT_SCOPE)
endfunction()

_allot_debian_flags(CPPFLAGS _allot_cppflags)
_allot_debian_flags(CXXFLAGS _allot_cxxflags)
_allot_debian_flags(LDFLAGS _allot_ldflags)
add_compile_options(${_allot_cppflags} ${_allot_cxxflags})
add_link_options(${_allot_ldflags})

include(CheckPIESupported)
check_pie_supported(LANGUAGES CXX)
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
list(JOIN _allot_cppflags " " _allot_cppflags)
list(JOIN _allot_cxxflags " " _allot_cxxflags)
list(JOIN _allot_ldflags " " _allot_ldflags)
message(STATUS "Debian build flags: ${_allot_cppflags} ${_allot_cxxflags} ${_allot_ldflags}")
