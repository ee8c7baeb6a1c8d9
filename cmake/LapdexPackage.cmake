# The Debian package of cmake --build build --target package: build/lapdex_VERSION_amd64.deb
# with everything the install rules place under /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lapdex)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The Lapdex developers <${LAPDEX_MAINTAINER_MAIL}>")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${LAPDEX_HOMEPAGE})
# CPack indents every line after the synopsis by one space itself.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "data manager for the K7X Stopwatch
Lapdex downloads the runs of a K7X Stopwatch laid on a PC/SC contactless
reader, keeps one CSV file per run and shows them in a desktop program:
calendar, laps, statistics, personal bests, the team's day and exports.
.
The package also holds k7x-tool, the command line to diagnose a reader and
stopwatch and to query the runs, and the reader library RDCOM32 with its
header.")
# dpkg-shlibdeps computes Depends; the reader drivers come with pcscd and libccid, which a
# machine without a reader does not need.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "pcscd, libccid")
# The shlibs file of libRDCOM32.so.1 and the ldconfig trigger that a public library needs, written
# here: CPack's own would call ldconfig from maintainer scripts instead of the trigger.
configure_file(${PROJECT_SOURCE_DIR}/packaging/shlibs.in ${PROJECT_BINARY_DIR}/packaging/control/shlibs @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/packaging/triggers ${PROJECT_BINARY_DIR}/packaging/control/triggers COPYONLY)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${PROJECT_BINARY_DIR}/packaging/control/shlibs ${PROJECT_BINARY_DIR}/packaging/control/triggers)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
