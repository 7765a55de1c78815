# CPack's settings for the Debian package kolvex_<version>_<arch>.deb.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kolvex)
set(CPACK_PACKAGE_VENDOR "Kolvex developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES TRUE)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "player for dash-camera recordings")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${KOLVEX_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# CPack puts the summary above this text as the synopsis and indents it;
# an empty line becomes the paragraph mark " .".
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"Kolvex opens what a car camera wrote to its memory card (a whole card, a
folder or one file), lists the recordings, cuts them into groups of
consecutive ones and plays the front and the rear camera side by side.
In step with the picture it shows the data the camera embedded in each
file: speed, heading on a compass card, position and driven path on a map,
and the three G-sensor axes as scrolling curves, with hard braking,
acceleration, sharp turns and impacts marked.

It exports tracks as KML and GPX, deletes, unlocks and copies recordings,
saves snapshots and speaks sixteen languages. The command-line tool
kolvex-cli lists, probes and summarises recordings as JSON or CSV.")
# The libraries the programs link come from dpkg-shlibdeps (Qt, and the
# FFmpeg libraries the clip writer uses); libVLC is opened at run time, so it
# and the plugins playback needs are named here, with the fonts the window
# draws its texts in and the one the clips' read-out is drawn in.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libvlc5, vlc-plugin-base, vlc-plugin-video-output, fonts-liberation2, fonts-lato, fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk")

include(CPack)
