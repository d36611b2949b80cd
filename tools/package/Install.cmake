# Installing Vellmora, and its Debian package.
#
# By default the game installs under GNU's directories (cmake --install to
# ~/.local or /usr/local): the launcher in bin, the binary under libexec,
# the assets under share/vellmora. With VELLMORA_GAMES_LAYOUT, as the
# package is built, it installs where Debian keeps games: /usr/games,
# /usr/lib/games/vellmora, /usr/share/games/vellmora. Either way come the
# desktop entry, the icon (SVG, and PNG rendered by rsvg-convert), the
# AppStream metainfo, the man page and, in the package, the documents
# Debian asks for.
include(GNUInstallDirs)

option(VELLMORA_GAMES_LAYOUT "Install where Debian keeps games (the package)" OFF)
if(VELLMORA_GAMES_LAYOUT)
  set(VELLMORA_BIN_DIR games)
  set(VELLMORA_GAME_DIR lib/games/vellmora)
  set(VELLMORA_DATA_DIR share/games/vellmora)
else()
  set(VELLMORA_BIN_DIR ${CMAKE_INSTALL_BINDIR})
  set(VELLMORA_GAME_DIR ${CMAKE_INSTALL_LIBEXECDIR}/vellmora)
  set(VELLMORA_DATA_DIR ${CMAKE_INSTALL_DATADIR}/vellmora)
endif()
set(VELLMORA_APP_ID org.vellmora.Vellmora)
set(VELLMORA_PACKAGE_DIR ${CMAKE_SOURCE_DIR}/tools/package)
set(VELLMORA_STAGE_DIR ${CMAKE_BINARY_DIR}/package)

# The launcher finds the binary and the data relative to itself, so an
# unpacked copy of the package runs as well as an installed one.
file(RELATIVE_PATH RELATIVE_DATA_DIR ${CMAKE_INSTALL_PREFIX}/${VELLMORA_BIN_DIR}
     ${CMAKE_INSTALL_PREFIX}/${VELLMORA_DATA_DIR})
file(RELATIVE_PATH RELATIVE_GAME ${CMAKE_INSTALL_PREFIX}/${VELLMORA_BIN_DIR}
     ${CMAKE_INSTALL_PREFIX}/${VELLMORA_GAME_DIR}/vellmora)
configure_file(${VELLMORA_PACKAGE_DIR}/vellmora.in ${VELLMORA_STAGE_DIR}/vellmora @ONLY)
configure_file(${VELLMORA_PACKAGE_DIR}/vellmora.6.in ${VELLMORA_STAGE_DIR}/vellmora.6 @ONLY)
configure_file(${VELLMORA_PACKAGE_DIR}/metainfo.xml.in ${VELLMORA_STAGE_DIR}/${VELLMORA_APP_ID}.metainfo.xml @ONLY)

# Debian compresses man pages and changelogs with gzip -9n (no name, no time).
# NEWS goes beside the changelog, as the man page says.
configure_file(${CMAKE_SOURCE_DIR}/NEWS ${VELLMORA_STAGE_DIR}/NEWS COPYONLY)
set(VELLMORA_GZIPPED ${VELLMORA_STAGE_DIR}/vellmora.6.gz ${VELLMORA_STAGE_DIR}/changelog.gz ${VELLMORA_STAGE_DIR}/NEWS.gz)
add_custom_command(OUTPUT ${VELLMORA_GZIPPED}
  COMMAND gzip -9nkf vellmora.6 changelog NEWS
  DEPENDS ${VELLMORA_STAGE_DIR}/vellmora.6 ${VELLMORA_STAGE_DIR}/changelog ${VELLMORA_STAGE_DIR}/NEWS
  WORKING_DIRECTORY ${VELLMORA_STAGE_DIR})

set(VELLMORA_ICON_SIZES 48 64 128 256)
set(VELLMORA_ICONS)
foreach(size ${VELLMORA_ICON_SIZES})
  set(icon ${VELLMORA_STAGE_DIR}/icons/${size}/vellmora.png)
  file(MAKE_DIRECTORY ${VELLMORA_STAGE_DIR}/icons/${size})
  add_custom_command(OUTPUT ${icon}
    COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${icon} ${VELLMORA_RUN_DIR}/vellmora.svg
    DEPENDS ${VELLMORA_RUN_DIR}/vellmora.svg
    COMMENT "Rendering the ${size} x ${size} icon")
  list(APPEND VELLMORA_ICONS ${icon})
  install(FILES ${icon} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
add_custom_target(install_files ALL DEPENDS ${VELLMORA_GZIPPED} ${VELLMORA_ICONS})
add_dependencies(install_files assets)

install(TARGETS vellmora RUNTIME DESTINATION ${VELLMORA_GAME_DIR})
install(PROGRAMS ${VELLMORA_STAGE_DIR}/vellmora DESTINATION ${VELLMORA_BIN_DIR})
install(DIRECTORY ${VELLMORA_RUN_DIR}/models ${VELLMORA_RUN_DIR}/images DESTINATION ${VELLMORA_DATA_DIR})
install(FILES ${VELLMORA_RUN_DIR}/crash.wav ${VELLMORA_RUN_DIR}/gotbox.wav ${VELLMORA_RUN_DIR}/techno.mp3
  DESTINATION ${VELLMORA_DATA_DIR})
install(FILES ${VELLMORA_PACKAGE_DIR}/vellmora.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${VELLMORA_RUN_DIR}/vellmora.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${VELLMORA_STAGE_DIR}/${VELLMORA_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${VELLMORA_STAGE_DIR}/vellmora.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${VELLMORA_STAGE_DIR}/changelog.gz ${VELLMORA_STAGE_DIR}/NEWS.gz ${VELLMORA_PACKAGE_DIR}/copyright
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vellmora)
install(FILES ${VELLMORA_PACKAGE_DIR}/vellmora.conf DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vellmora/examples)

# The Debian package: cpack in a build configured with VELLMORA_GAMES_LAYOUT
# (tools/run.sh package does it all).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vellmora)
set(CPACK_PACKAGE_VERSION ${VELLMORA_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGE_CONTACT "Vellmora developers <developers@vellmora.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "hover craft game over a landscape of dunes")
# The extended description; CPack puts the summary above it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Fly the skimmer, a hover craft, low over a landscape of dunes, hills and
valleys under a slowly turning sky. Twenty wooden crates are scattered over
the land: fly over them to collect them. Twenty palm trees stand among them:
touch one and the craft is thrown backwards.

Steer with the mouse; W, S, A, D, Q and E throttle, brake, sidestep and roll,
Tab fires the afterburner. Needs OpenGL; runs in a window or full screen.")
# The libraries the binary links, worked out by dpkg-shlibdeps, and what the
# game opens at run time: the overlay's font, and Mesa's drivers unless
# another vendor's OpenGL is installed.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2, libgl1-mesa-dri | libglx-vendor")
set(CPACK_STRIP_FILES ON)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR})
include(CPack)
