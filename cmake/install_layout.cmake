# An installed copy, laid out as Debian expects under the prefix:
#   lib/clipwright/          the program folder: the real executable, the
#                            helper executables beside it, the settings seed
#                            (which marks the copy as installed: each user's
#                            settings then live in $XDG_CONFIG_HOME/clipwright)
#                            and def, a link to share/clipwright/def
#   bin/clipwright           a link to the executable, which finds its program
#                            folder through /proc/self/exe
#   share/clipwright/def/    the bundled definition sets
#   share/applications, share/metainfo, share/mime/packages, share/icons,
#   share/man/man1           what the desktop and man need
include(GNUInstallDirs)
set(CLIPWRIGHT_PROGRAM_DIR lib/clipwright)
set(CLIPWRIGHT_DATA_DIR ${CMAKE_INSTALL_DATADIR}/clipwright)

install(TARGETS clipwright clipwright-frameserver RUNTIME DESTINATION ${CLIPWRIGHT_PROGRAM_DIR})
install(TARGETS clipwright-ffmpeg LIBRARY DESTINATION ${CLIPWRIGHT_PROGRAM_DIR})
install(FILES ${CLIPWRIGHT_SETTINGS_SEED} DESTINATION ${CLIPWRIGHT_PROGRAM_DIR})
install(DIRECTORY def/ DESTINATION ${CLIPWRIGHT_DATA_DIR}/def)

file(RELATIVE_PATH link_to_program /prefix/${CMAKE_INSTALL_BINDIR} /prefix/${CLIPWRIGHT_PROGRAM_DIR}/clipwright)
file(RELATIVE_PATH link_to_def /prefix/${CLIPWRIGHT_PROGRAM_DIR} /prefix/${CLIPWRIGHT_DATA_DIR}/def)
install(CODE "
    set(root \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\")
    file(MAKE_DIRECTORY \"\${root}/${CMAKE_INSTALL_BINDIR}\")
    file(CREATE_LINK ${link_to_program} \"\${root}/${CMAKE_INSTALL_BINDIR}/clipwright\" SYMBOLIC)
    file(CREATE_LINK ${link_to_def} \"\${root}/${CLIPWRIGHT_PROGRAM_DIR}/def\" SYMBOLIC)
")

# The install notes the preview points to when it finds no AviSynth+.
install(FILES README.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/clipwright)
install(FILES data/clipwright.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES data/org.clipwright.Clipwright.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES data/clipwright-avs.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
install(FILES data/clipwright.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 24 32 48 64 128 256)
    install(FILES data/icons/${size}x${size}.png RENAME clipwright.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

add_custom_command(OUTPUT clipwright.1.gz
    COMMAND gzip -9n -c ${CMAKE_SOURCE_DIR}/data/clipwright.1 > clipwright.1.gz
    DEPENDS data/clipwright.1
    COMMENT "Compressing the man page")
add_custom_target(clipwright_man ALL DEPENDS clipwright.1.gz)
install(FILES ${CMAKE_BINARY_DIR}/clipwright.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
