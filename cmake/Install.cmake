# What `cmake --install` puts under the prefix, and the Debian package CPack makes of it
# (`cpack -G DEB` in the build folder). The game finds its files as "../Assets" and
# "../shaders" beside its working folder, installed or not; the `kvo` launcher gives it
# a working folder of the player's own (see dist/kvo.in).
#
#   games/kvo                                  the launcher (Debian puts games' programs in /usr/games)
#   libexec/kvo/Kvo                            the game
#   share/kvo/Assets, share/kvo/shaders        the generated content; the font is a link to the system's
#   share/applications, share/metainfo         the desktop entry and the AppStream data
#   share/icons/hicolor/NxN/apps/kvo.png       the icon, 16 to 256 px
#   share/man/man6/kvo.6.gz                    the manual page
#   share/doc/kvo/copyright, changelog.gz      what Debian asks of every package
include(GNUInstallDirs)

set(KVO_APP_ID io.kvo.kvo)
set(KVO_MAINTAINER "The Kvo team <team@kvo.io>")

set(KVO_INSTALL_GAMESDIR games CACHE PATH "Where the kvo launcher goes, under the install prefix")
set(KVO_GAME_DIR ${CMAKE_INSTALL_LIBEXECDIR}/kvo)
set(KVO_DATA_DIR ${CMAKE_INSTALL_DATADIR}/kvo)
set(KVO_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/kvo)
# Installed data is the owner's to write and everyone's to read, as Debian expects. The
# player's folder holds links to it and the game replaces a link by renaming a file of
# the player's own over it, so mode bits are not what keeps the install untouched.
set(KVO_DATA_FILE OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
set(KVO_FOLDER OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
# The game's text font comes from fonts-roboto-unhinted: the build copies it into Assets/
# (content/CMakeLists.txt), the install links it instead of shipping a second copy.
set(KVO_FONT_ASSET font/RobotoCondensed-Regular.ttf)
set(KVO_SYSTEM_FONT /usr/share/fonts/truetype/roboto/unhinted/RobotoCondensed-Regular.ttf)
set(KVO_FONT_PACKAGE fonts-roboto-unhinted)

# The version is said in four places a packager reads: here, the Debian changelog, the
# AppStream releases and the manual page's title line. A release adds its entry at the top
# of the first two and dates the page.
set(kvo_release_files dist/changelog dist/${KVO_APP_ID}.metainfo.xml dist/kvo.6)
file(STRINGS ${CMAKE_SOURCE_DIR}/dist/changelog kvo_changelog_top LIMIT_COUNT 1)
file(STRINGS ${CMAKE_SOURCE_DIR}/dist/${KVO_APP_ID}.metainfo.xml kvo_release_top REGEX "<release " LIMIT_COUNT 1)
file(STRINGS ${CMAKE_SOURCE_DIR}/dist/kvo.6 kvo_page_title REGEX "^\\.TH " LIMIT_COUNT 1)
if(NOT kvo_changelog_top MATCHES "^kvo \\(${KVO_VERSION}\\) " OR NOT kvo_release_top MATCHES "version=\"${KVO_VERSION}\""
   OR NOT kvo_page_title MATCHES "\"Kvo ${KVO_VERSION}\"")
  string(JOIN ", " kvo_release_list ${kvo_release_files})
  message(FATAL_ERROR "${kvo_release_list} must all name the release ${KVO_VERSION} first")
endif()
list(TRANSFORM kvo_release_files PREPEND ${CMAKE_SOURCE_DIR}/)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${kvo_release_files})

install(TARGETS Kvo RUNTIME DESTINATION ${KVO_GAME_DIR})
# Bound at start-up, then read-only, as Debian's hardening asks of its programs.
target_link_options(Kvo PRIVATE LINKER:-z,relro,-z,now)

# ---- content: exactly the files the build generated, grouped by folder
get_property(kvo_outputs GLOBAL PROPERTY KVO_CONTENT_OUTPUTS)
set(kvo_asset_folders)
foreach(file ${kvo_outputs})
  file(RELATIVE_PATH rel ${KVO_ASSETS_DIR} ${file})
  if(rel MATCHES "^\\.\\./" OR rel STREQUAL KVO_FONT_ASSET) # the desktop icons; the font, linked below
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
  install(FILES ${${var}} DESTINATION ${KVO_DATA_DIR}/Assets/${folder} PERMISSIONS ${KVO_DATA_FILE})
endforeach()
# The editor saves into the level folder and start-up lists it, shipped levels or none.
install(DIRECTORY DESTINATION ${KVO_DATA_DIR}/Assets/Levels DIRECTORY_PERMISSIONS ${KVO_FOLDER})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/shaders/ DESTINATION ${KVO_DATA_DIR}/shaders
        FILE_PERMISSIONS ${KVO_DATA_FILE} DIRECTORY_PERMISSIONS ${KVO_FOLDER})

# ---- what depends on the prefix the install really has, known only at install time: a
# package (prefix /usr) links the font relatively, as Debian wants links within /usr;
# another prefix links the system's font by its full name. The desktop entry names the
# launcher in full, since /usr/games or PREFIX/games need not be on the menu's PATH.
get_filename_component(kvo_font_folder ${KVO_FONT_ASSET} DIRECTORY)
set(kvo_font_link ${KVO_DATA_DIR}/Assets/${KVO_FONT_ASSET})
file(RELATIVE_PATH kvo_font_relative /usr/${KVO_DATA_DIR}/Assets/${kvo_font_folder} ${KVO_SYSTEM_FONT})
install(CODE "
  set(root \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\")
  if(CMAKE_INSTALL_PREFIX STREQUAL \"/usr\")
    set(font \"${kvo_font_relative}\")
  else()
    set(font \"${KVO_SYSTEM_FONT}\")
  endif()
  message(STATUS \"Linking: \${root}/${kvo_font_link} -> \${font}\")
  file(MAKE_DIRECTORY \"\${root}/${KVO_DATA_DIR}/Assets/${kvo_font_folder}\")
  file(REMOVE \"\${root}/${kvo_font_link}\")
  file(CREATE_LINK \"\${font}\" \"\${root}/${kvo_font_link}\" SYMBOLIC)
  set(KVO_LAUNCHER \"\${CMAKE_INSTALL_PREFIX}/${KVO_INSTALL_GAMESDIR}/kvo\")
  configure_file(\"${CMAKE_SOURCE_DIR}/dist/${KVO_APP_ID}.desktop.in\"
                 \"\${root}/${CMAKE_INSTALL_DATADIR}/applications/${KVO_APP_ID}.desktop\" @ONLY)
  message(STATUS \"Installing: \${root}/${CMAKE_INSTALL_DATADIR}/applications/${KVO_APP_ID}.desktop\")
")

# ---- the launcher finds the game and its data relative to itself, so any prefix works
file(RELATIVE_PATH KVO_GAME_FROM_BIN /${KVO_INSTALL_GAMESDIR} /${KVO_GAME_DIR})
file(RELATIVE_PATH KVO_DATA_FROM_BIN /${KVO_INSTALL_GAMESDIR} /${KVO_DATA_DIR})
configure_file(${CMAKE_SOURCE_DIR}/dist/kvo.in ${CMAKE_BINARY_DIR}/dist/kvo @ONLY
               FILE_PERMISSIONS ${KVO_FOLDER}) # runnable from the build folder too, for its test
install(PROGRAMS ${CMAKE_BINARY_DIR}/dist/kvo DESTINATION ${KVO_INSTALL_GAMESDIR})

# ---- desktop
install(FILES ${CMAKE_SOURCE_DIR}/dist/${KVO_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${CMAKE_BINARY_DIR}/content/icons/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)

# ---- the manual page and the Debian changelog, compressed as Debian wants them: best
# compression, no name or time stamp in the header (so that a rebuild is the same file)
set(kvo_compressed)
foreach(pair "kvo.6|kvo.6.gz" "changelog|changelog.gz")
  string(REPLACE "|" ";" pair "${pair}")
  list(GET pair 0 source)
  list(GET pair 1 target)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/dist/${target}
    COMMAND sh -c "gzip -9n < \"$0\" > \"$1\"" ${CMAKE_SOURCE_DIR}/dist/${source} ${CMAKE_BINARY_DIR}/dist/${target}
    DEPENDS ${CMAKE_SOURCE_DIR}/dist/${source} VERBATIM)
  list(APPEND kvo_compressed ${CMAKE_BINARY_DIR}/dist/${target})
endforeach()
add_custom_target(kvo-docs ALL DEPENDS ${kvo_compressed})
install(FILES ${CMAKE_BINARY_DIR}/dist/kvo.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${CMAKE_SOURCE_DIR}/dist/copyright ${CMAKE_BINARY_DIR}/dist/changelog.gz DESTINATION ${KVO_DOC_DIR})

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
# Staged with DESTDIR under the package's own prefix, so that the install-time steps
# above see /usr as the prefix, as they would on the player's machine.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${KVO_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The libraries the game links, as dpkg-shlibdeps finds them, and the font it links to;
# the Mesa drivers are what gives most players their OpenGL, and the launcher's tools are
# essential packages.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS ${KVO_FONT_PACKAGE})
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libgl1-mesa-dri")
set(CPACK_GENERATOR DEB)
include(CPack)
