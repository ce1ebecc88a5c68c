# The Debian package (`cpack -G DEB`, scripts/package): what `cmake --install`
# puts under /usr, with Depends computed by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ritoma)
set(CPACK_PACKAGE_VENDOR "Ritoma project")
set(CPACK_PACKAGE_CONTACT "Ritoma project <ritoma@example.org>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "interactive batch file renamer with a Japanese interface")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://ritoma.example.org/")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_THREADS 0)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so dpkg-shlibdeps cannot see them: the gothic fonts of
# the window, and the Japanese texts of Qt's own buttons and dialogs.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "bash-completion")
# The extended description; CPack puts the summary above it and indents it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Ritoma renames a batch of files in one go. Files of a folder, or the entries
stored inside an LZH or ZIP archive, are selected and ordered, and new names
are built in stages: templates of macros (serial numbers, dates, sizes, parts
of the old name), replacements with wildcards, and conversions of letter
case, character width and kana.

Every plan is checked before it runs: a rename never replaces an existing
file, names can be swapped through temporary names, a failed run is rolled
back and every run can be undone. The command ritoma-cli runs the same
batches from scripts.")

include(CPack)
