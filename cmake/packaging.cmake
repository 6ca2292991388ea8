# Debian package of the application (cpack -G DEB in the build folder): the program, its manual
# page, desktop entry, icon and AppStream metadata under /usr, with the copyright file and the
# Debian changelog that every package carries; nothing else. Shared-library dependencies come
# from dpkg-shlibdeps; the QML modules, platform plugins and SVG loader that Qt opens at run time
# are named here, since no linker can see them. The package's version is the latest entry of
# packaging/changelog, which must be for the project's version. Included from the top level only
# when the Qt window is built.
if(NOT PROJECT_IS_TOP_LEVEL)
  return()
endif()

# Installing (and so packaging) takes what has been built and builds nothing else: the package
# needs the program, its manual page and the files below, not the tests.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(_allot_changelog "${PROJECT_SOURCE_DIR}/packaging/changelog")
file(STRINGS "${_allot_changelog}" _allot_latest LIMIT_COUNT 1)
if(NOT _allot_latest MATCHES "^allot \\(([^)-]+)-([^)]+)\\)")
  message(FATAL_ERROR "packaging/changelog: the first line is not 'allot (VERSION-REVISION) ...'")
endif()
if(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "packaging/changelog: its latest entry is for ${CMAKE_MATCH_1}, the "
                      "project is at ${PROJECT_VERSION}; add an entry for it")
endif()
set(_allot_debian_revision ${CMAKE_MATCH_2})

# The copyright file in Debian's machine-readable format, from LICENSE: its copyright line, then
# its permission text as the licence's body (blank lines become " .").
file(READ "${PROJECT_SOURCE_DIR}/LICENSE" _allot_license)
string(REGEX MATCH "Copyright \\(c\\) ([^\n]+)" _ "${_allot_license}")
set(_allot_copyright "${CMAKE_MATCH_1}")
string(FIND "${_allot_license}" "Permission is hereby granted" _allot_permission_start)
string(SUBSTRING "${_allot_license}" ${_allot_permission_start} -1 _allot_license)
string(STRIP "${_allot_license}" _allot_license)
string(REPLACE "\n\n" "\n.\n" _allot_license "${_allot_license}")
string(REPLACE "\n" "\n " _allot_license "${_allot_license}")
file(CONFIGURE OUTPUT "${PROJECT_BINARY_DIR}/packaging/copyright" @ONLY CONTENT [[
Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: allot

Files: *
Copyright: @_allot_copyright@
License: Expat

License: Expat
 @_allot_license@
]])
configure_file("${_allot_changelog}" "${PROJECT_BINARY_DIR}/packaging/changelog.Debian" COPYONLY)
add_custom_command(OUTPUT "${PROJECT_BINARY_DIR}/packaging/changelog.Debian.gz"
  COMMAND gzip -9nkf changelog.Debian
  DEPENDS "${PROJECT_BINARY_DIR}/packaging/changelog.Debian"
  WORKING_DIRECTORY "${PROJECT_BINARY_DIR}/packaging"
  COMMENT "Compressing the Debian changelog")
add_custom_target(allot_package_docs ALL
  DEPENDS "${PROJECT_BINARY_DIR}/packaging/changelog.Debian.gz")
include(GNUInstallDirs)
install(FILES "${PROJECT_BINARY_DIR}/packaging/copyright"
              "${PROJECT_BINARY_DIR}/packaging/changelog.Debian.gz"
        DESTINATION "${CMAKE_INSTALL_DOCDIR}")
install(FILES "${PROJECT_SOURCE_DIR}/packaging/lintian-overrides"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/lintian/overrides" RENAME allot)

# The long description is the README's first paragraph, without Markdown.
file(READ "${PROJECT_SOURCE_DIR}/README.md" _allot_readme)
string(REGEX REPLACE "^#[^\n]*\n+" "" _allot_readme "${_allot_readme}")
string(FIND "${_allot_readme}" "\n\n" _allot_paragraph_end)
string(SUBSTRING "${_allot_readme}" 0 ${_allot_paragraph_end} _allot_readme)
string(REPLACE "`" "" _allot_readme "${_allot_readme}")
string(ASCII 1 _allot_semicolon)  # stands in for ";", which would split the list of words
string(REPLACE ";" "${_allot_semicolon}" _allot_readme "${_allot_readme}")
string(REGEX REPLACE "[ \n]+" ";" _allot_words "${_allot_readme}")
set(_allot_readme "")
set(_allot_line "")
foreach(_allot_word IN LISTS _allot_words)  # wrapped at 79 columns, as Debian prefers
  string(LENGTH "${_allot_line} ${_allot_word}" _allot_length)
  if(_allot_line STREQUAL "")
    set(_allot_line "${_allot_word}")
  elseif(_allot_length GREATER 79)
    string(APPEND _allot_readme "${_allot_line}\n")
    set(_allot_line "${_allot_word}")
  else()
    string(APPEND _allot_line " ${_allot_word}")
  endif()
endforeach()
string(APPEND _allot_readme "${_allot_line}")
string(REPLACE "${_allot_semicolon}" ";" _allot_readme "${_allot_readme}")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME allot)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Allot developers")
set(CPACK_PACKAGE_CONTACT "Allot developers <allot@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION "${_allot_readme}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Allot developers <allot@example.org>")
set(CPACK_DEBIAN_PACKAGE_RELEASE ${_allot_debian_revision})
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
file(STRINGS ${PROJECT_SOURCE_DIR}/packaging/runtime-packages _allot_runtime_modules
     REGEX "^[^#]")
list(JOIN _allot_runtime_modules ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
# Without a font that has them, emoji in an envelope's name show as empty boxes.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS fonts-noto-color-emoji)

include(CPack)
