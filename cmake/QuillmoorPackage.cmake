# The Debian package (scripts/package): both programs, their manual pages,
# the desktop entry, icon, AppStream metainfo and help pages, under /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillmoor)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Quillmoor developers")
set(CPACK_PACKAGE_CONTACT "Quillmoor developers <quillmoor@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "find out which public libraries hold the books on an ISBN list")
set(CPACK_PACKAGE_DESCRIPTION
    "Quillmoor (図書館蔵書検索ソフト Quillmoor) takes a list of ISBNs and asks,\n\
for every book, a book-data service for its title, list price and\n\
publication date, and the catalogues of the public libraries you chose\n\
(or Calil, for about 7,400 Japanese libraries) whether they hold it and\n\
whether a copy is on the shelf. A window and a command-line program.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# quillmoor_<version>_amd64.deb
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://quillmoor.example.org/")
# The libraries the programs link come from dpkg-shlibdeps. Qt loads these
# plugins only at run time, where dpkg-shlibdeps cannot see them: the SQLite
# driver of the lookup cache, the window system and the SVG icons.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, qt6-qpa-plugins, libqt6svg6")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk, qt6-translations-l10n")
include(CPack)
