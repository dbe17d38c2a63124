# A build starts on the bundled definition set, as an installed copy does.
# An existing conf.properties is the user's and is never touched.
if(NOT EXISTS "${DEST}/conf.properties" AND EXISTS "${DEST}/def/3.7")
    file(COPY_FILE "${SEED}" "${DEST}/conf.properties")
endif()
