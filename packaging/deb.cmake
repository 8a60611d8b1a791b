# SPDX-License-Identifier: MIT
# The Debian packages: `cpack -G DEB` in the build folder makes quobrel-cli_VERSION_ARCH.deb,
# the command line, which needs no Qt, and quobrel_VERSION_ARCH.deb, the window.
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
# dpkg-shlibdeps names the libraries each program links: ICU, and Qt for the window.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
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

include(CPack)
