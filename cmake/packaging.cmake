# Debian package of the application (cpack -G DEB in the build folder): the program, its desktop
# entry and icon under /usr, nothing else. Shared-library dependencies come from dpkg-shlibdeps;
# the QML modules, platform plugins and SVG loader that Qt opens at run time are named here, since
# no linker can see them. Included from the top level only when the Qt window is built.
if(NOT PROJECT_IS_TOP_LEVEL)
  return()
endif()

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
set(CPACK_PACKAGE_CONTACT "Allot developers <allot@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION "${_allot_readme}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Allot developers <allot@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(_allot_runtime_modules
    qml6-module-qtqml
    qml6-module-qtqml-workerscript
    qml6-module-qtquick
    qml6-module-qtquick-controls
    qml6-module-qtquick-layouts
    qml6-module-qtquick-templates
    qml6-module-qtquick-window
    qt6-qpa-plugins
    libqt6svg6)
list(JOIN _allot_runtime_modules ", " CPACK_DEBIAN_PACKAGE_DEPENDS)

include(CPack)
