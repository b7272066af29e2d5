# The Debian package, built by "cpack -G DEB" in the build folder (or
# scripts/package.sh): stowbook_<version>_<arch>.deb installing under /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME stowbook)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Stowbook developers")
set(CPACK_PACKAGE_CONTACT "The Stowbook developers <stowbook@example.org>")
set(CPACK_PACKAGE_HOMEPAGE_URL ${STOWBOOK_HOMEPAGE})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "household inventory for insurance claims")
set(CPACK_PACKAGE_DESCRIPTION [=[
Stowbook keeps the inventory of a household's possessions: one record
per item with its description, maker, model, serial number, purchase
date and price, value, receipt, category, location and a picture.
After a fire or a theft it prints what an insurance claim needs: all
items by category, location or description, the value per category
and location, the serial number list and reports of your own design,
on paper, as PDF, text or HTML.

The menu entry keeps the inventory in a folder of your own, private
to you. stowbook-setup lays out further data folders and
stowbook-report writes reports from the command line.]=])
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Debian's own layout and permissions: stripped programs, directories
# rwxr-xr-x whatever the umask of whoever builds, control files as dpkg
# wants them.
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the programs link are found by dpkg-shlibdeps; the Qt
# plugins they load (screen, image formats) come with those libraries.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The help window's and the About window's links open in the browser
# through xdg-open; without it they do nothing, and the rest works.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS xdg-utils)
# The same sources give the same package, byte for byte: every time stamp in
# it is the last commit's (SOURCE_DATE_EPOCH, read when cpack runs).
configure_file(${CMAKE_CURRENT_SOURCE_DIR}/SourceDate.cmake.in ${CMAKE_CURRENT_BINARY_DIR}/SourceDate.cmake @ONLY)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_BINARY_DIR}/SourceDate.cmake)
include(CPack)
