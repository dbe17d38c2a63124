# cmake --build build --target package makes clipwright_<version>_<arch>.deb
# from the install rules, with the prefix /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME clipwright)
set(CPACK_PACKAGE_VENDOR "The Clipwright developers")
set(CPACK_PACKAGE_CONTACT "The Clipwright developers <developers@clipwright.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor for AviSynth video scripts")
set(CPACK_PACKAGE_DESCRIPTION [[Clipwright edits AviSynth scripts (.avs files): syntax highlighting
with every known filter name as a keyword, call tips that mark the
argument being typed, a completion list, a filter browser by plugin or
by category with a description of each filter, and a frame-by-frame
preview of the script as it is.

The internal preview renders scripts with AviSynth+, which Debian does
not ship: install it separately (its own build instructions make a
package named avisynth).]])

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://clipwright.org/)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt loads these as plugins, which no linked library reveals: the X11 window
# system, and the SVG renderer of the icons.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6svg6")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "avisynth")

include(CPack)
