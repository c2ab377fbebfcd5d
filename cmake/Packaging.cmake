# Debian package of the trainer: `cpack -G DEB` in a release build directory.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pulsavo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Pulsavo developers")
set(CPACK_PACKAGE_CONTACT "The Pulsavo developers <pulsavo@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "心電図読解トレーニングソフト")
set(CPACK_PACKAGE_DESCRIPTION "ECG reading trainer: a simulated bedside monitor that plays 18
cardiac rhythms, marks what to notice in red and explains each rhythm.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Listed by hand rather than by dpkg-shlibdeps, which would repeat the Qt libraries with other
# version floors and cannot see the platform plugins (a separate package) or the dialog font
# (found through fontconfig, never linked). The Qt libraries pull in the C and C++ runtimes.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6widgets6 (>= 6.4), \
libqt6multimedia6 (>= 6.4), libqt6svg6 (>= 6.4), qt6-qpa-plugins (>= 6.4), fonts-ipafont-gothic")

install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/pulsavo
        RENAME copyright)

include(CPack)
