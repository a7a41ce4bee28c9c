# Debian packages from the install rules (`cpack -G DEB` in the build folder): "ostrel"
# with the program, drvsetup and the transfer filter; "ostrel-virtualcam" with the
# virtual camera for machines without a camera and for testing.
include_guard(GLOBAL)

# Each package carries its copyright and changelog, as Debian requires.
find_program(GZIP_PROGRAM gzip REQUIRED)
set(_changelog_gz ${PROJECT_BINARY_DIR}/debian/changelog.gz)
add_custom_command(OUTPUT ${_changelog_gz}
  COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/res/debian/changelog
          ${PROJECT_BINARY_DIR}/debian/changelog
  COMMAND ${GZIP_PROGRAM} -9nf ${PROJECT_BINARY_DIR}/debian/changelog
  DEPENDS ${PROJECT_SOURCE_DIR}/res/debian/changelog VERBATIM)
add_custom_target(ostrel_debian_changelog ALL DEPENDS ${_changelog_gz})
foreach(_component ostrel virtualcam)
  set(_package ostrel)
  if(_component STREQUAL virtualcam)
    set(_package ostrel-virtualcam)
  endif()
  install(FILES ${PROJECT_SOURCE_DIR}/res/debian/copyright ${_changelog_gz}
          DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${_package} COMPONENT ${_component})
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ostrel)
set(CPACK_PACKAGE_VENDOR "The Ostrel developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_COMPONENTS_ALL ostrel virtualcam)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The Ostrel developers <developers@ostrel.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# Library dependencies come from dpkg-shlibdeps; what it cannot see are the GStreamer
# elements the program creates by name.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

set(CPACK_DEBIAN_OSTREL_PACKAGE_NAME ostrel)
set(CPACK_COMPONENT_OSTREL_DISPLAY_NAME "Ostrel")
set(CPACK_COMPONENT_OSTREL_DESCRIPTION
    "webcam preview, clip recording and still pictures
Ostrel shows a live preview of a USB webcam, records AVI (raw video) or WMV
clips, optionally with sound, and takes still pictures as BMP files, resized
to a chosen size. It reacts to the camera's own snapshot button. drvsetup
binds a camera to the uvcvideo driver by the USB hardware IDs of its INF file.")
# videoconvert, videoscale, audioconvert, appsink: -base; v4l2src, avimux, jpegdec,
# pulsesrc: -good; asfmux: -bad; the WMV encoders: -libav; alsasrc: -alsa. Qt's own texts
# (standard buttons, the folder browser) in the interface's language: qt6-translations-l10n.
set(CPACK_DEBIAN_OSTREL_PACKAGE_DEPENDS
    "gstreamer1.0-plugins-base (>= 1.22), gstreamer1.0-plugins-good (>= 1.22), gstreamer1.0-plugins-bad (>= 1.22), gstreamer1.0-libav (>= 1.22), qt6-translations-l10n")
set(CPACK_DEBIAN_OSTREL_PACKAGE_RECOMMENDS "gstreamer1.0-alsa")
# Not recommended: a user with a camera does not want a virtual one in the Device menu.
set(CPACK_DEBIAN_OSTREL_PACKAGE_SUGGESTS "ostrel-virtualcam")

set(CPACK_DEBIAN_VIRTUALCAM_PACKAGE_NAME ostrel-virtualcam)
set(CPACK_COMPONENT_VIRTUALCAM_DISPLAY_NAME "Ostrel virtual camera")
set(CPACK_COMPONENT_VIRTUALCAM_DESCRIPTION
    "virtual camera and microphone for Ostrel
A GStreamer device provider that lists a virtual camera with a moving test
pattern, several capture formats and a still pin, and a virtual microphone.
Ostrel shows them in its Device menu: for trying Ostrel without a camera, and
for testing.")
set(CPACK_DEBIAN_VIRTUALCAM_PACKAGE_DEPENDS "ostrel (= ${PROJECT_VERSION})")
set(CPACK_DEBIAN_VIRTUALCAM_PACKAGE_SECTION video)

include(CPack)
