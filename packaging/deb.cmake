# The Debian package: `cpack -G DEB` in the build folder makes quobrel_VERSION_ARCH.deb.
set(CPACK_PACKAGE_NAME quobrel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Quobrel developers")
set(QUOBREL_MAINTAINER "Quobrel developers <quobrel@example.org>" CACHE STRING
    "The maintainer the Debian package names: NAME <ADDRESS>")
set(CPACK_PACKAGE_CONTACT ${QUOBREL_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Japanese text converter between full-width and half-width forms")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# dpkg-shlibdeps names the libraries the programs link, Qt and ICU among them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window's fonts, and Qt's own words (context menus, standard buttons) in the user's language.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Under the summary, which CPack puts first; it indents these lines and marks the empty one.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Quobrel rewrites Japanese text between full-width and half-width forms:
digits, Latin letters, symbols, spaces, and katakana with their voiced and
semi-voiced marks. It also changes the case of Latin letters, turns katakana
into hiragana and back, and replaces every occurrence of a text.

It works on text typed into its window, or on files and folders in place,
keeping each file's former contents as a backup, in UTF-8, Shift_JIS (code
page 932) or EUC-JP. The command quobrel-cli does the same from a shell or a
script, and as a filter from standard input to standard output.")

include(CPack)
