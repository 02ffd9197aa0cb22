# What `cmake --install` puts under the prefix, and the Debian package CPack makes of it
# (`cpack -G DEB` in the build folder). The game finds its files as "../Assets" and
# "../shaders" beside its working folder, installed or not; the `kvo` launcher gives it
# a working folder of the player's own (see dist/kvo.in).
#
#   bin/kvo                                    the launcher
#   libexec/kvo/Kvo                            the game
#   share/kvo/Assets, share/kvo/shaders        the generated content, read-only
#   share/applications, share/metainfo         the desktop entry and the AppStream data
#   share/icons/hicolor/NxN/apps/kvo.png       the icon, 16 to 256 px
include(GNUInstallDirs)

set(KVO_RELEASE_DATE 2026-12-08)
set(KVO_APP_ID io.kvo.Kvo)

set(KVO_GAME_DIR ${CMAKE_INSTALL_LIBEXECDIR}/kvo)
set(KVO_DATA_DIR ${CMAKE_INSTALL_DATADIR}/kvo)
set(KVO_READ_ONLY OWNER_READ GROUP_READ WORLD_READ)
# Folders stay writable by their owner, so that a player's copy of them is too.
set(KVO_FOLDER OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

install(TARGETS Kvo RUNTIME DESTINATION ${KVO_GAME_DIR})

# ---- content: exactly the files the build generated, grouped by folder
get_property(kvo_outputs GLOBAL PROPERTY KVO_CONTENT_OUTPUTS)
set(kvo_asset_folders)
foreach(file ${kvo_outputs})
  file(RELATIVE_PATH rel ${KVO_ASSETS_DIR} ${file})
  if(rel MATCHES "^\\.\\./") # made for the install only (the desktop icons)
    continue()
  endif()
  get_filename_component(folder "${rel}" DIRECTORY)
  if(folder STREQUAL "")
    set(folder .) # an empty name would vanish from the list of folders
  endif()
  string(MAKE_C_IDENTIFIER "kvo_assets_${folder}" var)
  if(NOT DEFINED ${var})
    list(APPEND kvo_asset_folders "${folder}")
  endif()
  list(APPEND ${var} ${file})
endforeach()
foreach(folder ${kvo_asset_folders})
  string(MAKE_C_IDENTIFIER "kvo_assets_${folder}" var)
  install(FILES ${${var}} DESTINATION ${KVO_DATA_DIR}/Assets/${folder} PERMISSIONS ${KVO_READ_ONLY})
endforeach()
# The editor saves into the level folder and start-up lists it, shipped levels or none.
install(DIRECTORY DESTINATION ${KVO_DATA_DIR}/Assets/Levels DIRECTORY_PERMISSIONS ${KVO_FOLDER})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/shaders/ DESTINATION ${KVO_DATA_DIR}/shaders
        FILE_PERMISSIONS ${KVO_READ_ONLY} DIRECTORY_PERMISSIONS ${KVO_FOLDER})

# ---- the launcher finds the game and its data relative to itself, so any prefix works
file(RELATIVE_PATH KVO_GAME_FROM_BIN /${CMAKE_INSTALL_BINDIR} /${KVO_GAME_DIR})
file(RELATIVE_PATH KVO_DATA_FROM_BIN /${CMAKE_INSTALL_BINDIR} /${KVO_DATA_DIR})
configure_file(${CMAKE_SOURCE_DIR}/dist/kvo.in ${CMAKE_BINARY_DIR}/dist/kvo @ONLY
               FILE_PERMISSIONS ${KVO_FOLDER}) # runnable from the build folder too, for its test
install(PROGRAMS ${CMAKE_BINARY_DIR}/dist/kvo DESTINATION ${CMAKE_INSTALL_BINDIR})

# ---- desktop
install(FILES ${CMAKE_SOURCE_DIR}/dist/${KVO_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
configure_file(${CMAKE_SOURCE_DIR}/dist/${KVO_APP_ID}.metainfo.xml.in
               ${CMAKE_BINARY_DIR}/dist/${KVO_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/dist/${KVO_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${CMAKE_BINARY_DIR}/content/icons/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)

# ---- the Debian package
set(CPACK_PACKAGE_NAME kvo)
set(CPACK_PACKAGE_VERSION ${KVO_VERSION})
set(CPACK_PACKAGE_VENDOR "The Kvo team")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "top-down action game: a pizza delivery in an armed tank")
set(CPACK_PACKAGE_DESCRIPTION "Drive an armed pizza-delivery tank across hostile ground, keep the pizza
warm, shoot your way past gunners, turret chains and patrollers, and reach the
portal at the end of the road. With a level editor.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY kvo)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The Kvo team <kvo@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The libraries the game links, as dpkg-shlibdeps finds them; the Mesa drivers are what
# gives most players their OpenGL, and the launcher's tools are essential packages.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libgl1-mesa-dri")
set(CPACK_GENERATOR DEB)
include(CPack)
