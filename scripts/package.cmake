# The Debian package (scripts/package.sh runs cpack on the build folder).
# Dependencies come from dpkg-shlibdeps; the features that use other
# programs' data recommend their packages.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME korvanta)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Tovak)
set(CPACK_PACKAGE_CONTACT "Tovak <korvanta@tovak.example>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION hamradio)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "http://www.tovak.example/")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "${KORVANTA_PACKAGE_RECOMMENDS}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "azimuthal equidistant maps for radio amateurs and CB operators")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Korvanta builds an azimuthal equidistant map centred on any point: a click
on the world map, a six-character Maidenhead locator or the first
command-line argument. Every place is drawn at its great-circle bearing and
distance from the centre, north up, the antipode on the rim.

The viewer reads bearing and distance (short and long path) under the
mouse, draws axes and equidistant circles, lists DX entities with a
call-sign lookup and a blinking marker, shows the local or UTC time and
publishes the pointed bearing to other local programs. korvanta-render
makes the same maps without a window, for scripts; korvanta-call tells
the entity of a call sign from the country file cty.dat; korvanta-spots
prints the live stations of a DX cluster and an FT8 program, placed and
measured as the map places them.")
# Only what the program needs at run time: the tests and benchmarks install nothing.
include(CPack)
