# Debian package of the trainer: `cpack -G DEB` in a release build directory.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pulsavo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Pulsavo developers")
set(CPACK_PACKAGE_CONTACT "The Pulsavo developers <pulsavo@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "ECG reading trainer with a simulated bedside monitor")
# One line per line of the control file (at most 79 characters); CPack indents them and turns
# the empty line into the paragraph mark.
set(CPACK_PACKAGE_DESCRIPTION "Pulsavo teaches nursing and medical students to read electrocardiograms.
A black monitor panel sweeps a simulated single-lead ECG, one pixel column
every 10 ms. Pick one of 18 cardiac rhythms: the monitor plays it with
randomised rate and timing, draws the segments to notice in red, sounds a beat
tone at each R peak and shows the rhythm's name with an explanation (danger
rating, points for recognising it, the waveform, what to do, the drugs used).

The package also contains pulsavo-strip, a command-line companion that lists
and explains the rhythms and dumps traces as CSV or draws them as PNG, SVG or
PDF strips on ECG paper for handouts, without a display.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# A Debian revision of our own: the package is built from this tree, not a Debian upload.
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# dpkg-shlibdeps computes the libraries linked (the C and C++ runtimes and Qt included); listed
# by hand is only what it cannot see: the platform plugins and the SQLite driver that practice
# saves answers through (plugins, in packages of their own) and the dialog
# font (found through fontconfig, never linked).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-qpa-plugins (>= 6.4), libqt6sql6-sqlite (>= 6.4), qt6-translations-l10n, fonts-ipafont-gothic")

install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/pulsavo
        RENAME copyright)

# Manual pages and the Debian changelog are installed compressed, as Debian policy wants.
find_program(PULSAVO_GZIP gzip REQUIRED)
set(pulsavo_compressed)
# The changelog's version comes from the one version source.
configure_file(cmake/debian/changelog.in ${PROJECT_BINARY_DIR}/debian/changelog @ONLY)
foreach(source IN ITEMS ${PROJECT_SOURCE_DIR}/docs/pulsavo.1 ${PROJECT_SOURCE_DIR}/docs/pulsavo-strip.1
                        ${PROJECT_BINARY_DIR}/debian/changelog)
    get_filename_component(name ${source} NAME)
    set(output ${PROJECT_BINARY_DIR}/compressed/${name}.gz)
    add_custom_command(OUTPUT ${output}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/compressed
        COMMAND sh -c "${PULSAVO_GZIP} -9nc \"$1\" > \"$2\"" sh
                ${source} ${output}
        DEPENDS ${source} VERBATIM)
    list(APPEND pulsavo_compressed ${output})
endforeach()
add_custom_target(pulsavo_compressed_docs ALL DEPENDS ${pulsavo_compressed})
install(FILES ${PROJECT_BINARY_DIR}/compressed/pulsavo.1.gz
              ${PROJECT_BINARY_DIR}/compressed/pulsavo-strip.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_BINARY_DIR}/compressed/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/pulsavo RENAME changelog.Debian.gz)
# Built from this tree, never uploaded to Debian: there is no Debian bug for a changelog to close.
install(FILES ${PROJECT_SOURCE_DIR}/cmake/debian/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME pulsavo)
install(FILES ${PROJECT_SOURCE_DIR}/tools/completion/pulsavo-strip
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)

include(CPack)
