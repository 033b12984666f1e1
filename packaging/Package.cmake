# The Debian package, built by CPack (`make deb`): what `cmake --install` puts under the prefix,
# with the dependencies dpkg-shlibdeps finds in the program's libraries and the two it finds
# at run time: a General MIDI sound font and a Japanese font.

# Debian's copyright file, in its machine-readable form, from the license.
file(READ ${PROJECT_SOURCE_DIR}/LICENSE license)
string(REGEX REPLACE "^.*\n(Permission is hereby)" "\\1" license "${license}")
string(STRIP "${license}" license)
string(REPLACE "\n\n" "\n.\n" license "${license}")
string(REPLACE "\n" "\n " license "${license}")
file(WRITE ${CMAKE_BINARY_DIR}/copyright
  "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
  "Upstream-Name: Kelvane\n\n"
  "Files: *\n"
  "Copyright: 2026 The Kelvane developers\n"
  "License: MIT\n ${license}\n")
install(FILES ${CMAKE_BINARY_DIR}/copyright DESTINATION share/doc/kelvane)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kelvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "drive and watch a MIDI synthesizer by hand")
# The summary above is the package's first line; this is the text under it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Kelvane drives a MIDI synthesizer from one window: an on-screen or computer
keyboard, controller sliders, program changes, pitch bend, aftertouch,
registered parameters, the GM and GS reset messages, 128 named drum pads and a
list of voices by name. It shows incoming MIDI as hexadecimal text and sends
raw byte streams, system exclusive included, in timed packets.
.
It works with the ALSA sequencer and JACK, and carries its own General MIDI
synthesizer (FluidSynth). The interface is in Japanese, or in English under an
English locale.")
# No address to write to yet: the name alone.
set(CPACK_PACKAGE_CONTACT "The Kelvane developers")
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # kelvane_<version>_<architecture>.deb
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "timgm6mb-soundfont | sf2-soundfont-gm, fonts-noto-cjk | fonts-japanese-gothic")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "jackd2")
include(CPack)
