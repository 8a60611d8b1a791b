# SPDX-License-Identifier: MIT
# The Debian packages: `cpack -G DEB` in the build folder makes one per component:
# quobrel-cli, the command line, which needs no Qt; quobrel, the window; libquobrel1, the
# shared library; libquobrel-dev; and python3-quobrel.
set(CPACK_PACKAGE_NAME quobrel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Quobrel developers")
set(QUOBREL_MAINTAINER "Quobrel developers <quobrel@example.org>" CACHE STRING
    "The maintainer the Debian packages name: NAME <ADDRESS>")
set(CPACK_PACKAGE_CONTACT ${QUOBREL_MAINTAINER})
set(CPACK_STRIP_FILES ON)

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL ${components})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# dpkg-shlibdeps names the libraries each binary links: ICU, and Qt for the window. The
# library's own package gets a shlibs file, for the packages built against it, and the
# trigger that has ldconfig run.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
foreach(component package IN ZIP_LISTS components component_packages)
  string(TOUPPER ${component} component)
  set(CPACK_DEBIAN_${component}_PACKAGE_NAME ${package})
endforeach()

# The paragraphs under each summary; CPack indents their lines and marks the empty ones.
set(what_it_does
    "Quobrel rewrites Japanese text between full-width and half-width forms:
digits, Latin letters, symbols, spaces, and katakana with their voiced and
semi-voiced marks. It also changes the case of Latin letters, turns katakana
into hiragana and back, and replaces every occurrence of a text, in UTF-8,
Shift_JIS (code page 932) or EUC-JP files, keeping each file's former
contents as a backup.")
set(CPACK_COMPONENT_CLI_DESCRIPTION
    "Japanese full-width and half-width text converter, command line
${what_it_does}

This package holds quobrel-cli, which does it from a shell or a script, over
files and folders or as a filter from standard input to standard output, and
tells which encoding a file is in. It needs no graphical libraries.")
set(CPACK_COMPONENT_WINDOW_DESCRIPTION
    "Japanese full-width and half-width text converter, window
${what_it_does}

This package holds the window, for text typed into it or the selected files
of a folder, with its desktop entry and icons.")
# The window's fonts, and Qt's own words (context menus, standard buttons) in the user's
# language.
set(CPACK_DEBIAN_WINDOW_PACKAGE_RECOMMENDS "fonts-noto-cjk, qt6-translations-l10n")

set(for_programs
    "The conversions are those of Quobrel's command line and window, byte for byte,
as pure functions on UTF-8 or UTF-16 text that any thread may call.")
set(CPACK_COMPONENT_LIBRARY_DESCRIPTION
    "Japanese full-width and half-width text conversion, shared library
${what_it_does}

${for_programs}

This package holds the shared library.")
set(CPACK_DEBIAN_LIBRARY_PACKAGE_SECTION libs)
# ldconfig runs by its trigger, as Debian's tools have it. CPack's own maintainer scripts
# call it too, which lintian notes: see library.lintian-overrides.
set(CPACK_DEBIAN_LIBRARY_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_SOURCE_DIR}/triggers)

set(CPACK_COMPONENT_DEVELOPMENT_DESCRIPTION
    "Japanese full-width and half-width text conversion, development files
${what_it_does}

${for_programs}

This package holds the C++ header, and what pkg-config and CMake find the
library with.")
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS "libquobrel${abi_major} (= ${PROJECT_VERSION})")

set(CPACK_COMPONENT_PYTHON_DESCRIPTION
    "Japanese full-width and half-width text conversion, Python module
${what_it_does}

${for_programs}

This package holds the Python 3 module quobrel, whose convert() and replace()
take and give str.")
set(CPACK_DEBIAN_PYTHON_PACKAGE_SECTION python)
# The library is built alongside: dpkg-shlibdeps finds it in the build, but has no record of
# its package, which is named here, with the one Python the module is built for.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${PROJECT_BINARY_DIR}/library)
set(python ${Python3_VERSION_MAJOR}.${Python3_VERSION_MINOR})
math(EXPR next_minor "${Python3_VERSION_MINOR} + 1")
set(CPACK_DEBIAN_PYTHON_PACKAGE_DEPENDS "libquobrel${abi_major} (>= ${PROJECT_VERSION}), \
python3 (>= ${python}~), python3 (<< ${Python3_VERSION_MAJOR}.${next_minor})")

include(CPack)
