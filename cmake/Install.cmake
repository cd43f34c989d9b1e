# Installing (cmake --install) and the Debian package (cpack -G DEB).
#
# Layout under the prefix: bin/segmora, bin/segmora-split, the icon in the
# hicolor theme, share/applications/segmora.desktop for the application menu,
# share/doc/segmora/README.md. The program finds its icon and README relative
# to its own folder (../share/...), so bin/ and share/ stay fixed names here.

foreach(program segmora segmora-split)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION bin)
  endif()
endforeach()

if(TARGET segmora_shell)
  foreach(size ${SEGMORA_ICON_SIZES})
    install(FILES shell/icons/segmora-${size}.png
      DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME segmora.png)
  endforeach()
  install(FILES shell/icons/segmora.svg DESTINATION share/icons/hicolor/scalable/apps)
  install(FILES shell/segmora.desktop DESTINATION share/applications)
endif()
if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/README.md)
  install(FILES README.md DESTINATION share/doc/segmora)
endif()

set(SEGMORA_PACKAGE_MAINTAINER "Segmora packagers" CACHE STRING
  "Maintainer field of the Debian package (\"Name <address>\")")

set(CPACK_PACKAGE_NAME segmora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "splits an NC (G-code) file into one file per program")
set(CPACK_PACKAGE_DESCRIPTION
  "Segmora splits an NC file that holds several part programs into one file per program, named after its program-number line, logs the programs it found and shows, saves and prints that log. It comes with segmora-split, the same division on the command line.")
set(CPACK_GENERATOR DEB)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${SEGMORA_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
# The shared libraries come from dpkg-shlibdeps where it is installed
# (dpkg-dev); the Qt platform plugins are loaded at run time, so no library
# scan finds them.
find_program(SEGMORA_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(SEGMORA_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libc6, libstdc++6, libqt6core6, libqt6gui6, libqt6widgets6, libqt6printsupport6, libqt6dbus6, qt6-qpa-plugins")
endif()
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-ipafont-gothic, qt6-translations-l10n, xdg-utils")
include(CPack)
