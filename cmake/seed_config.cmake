# A fresh install starts on the bundled definition set. An existing
# conf.properties is the user's and is never touched.
if(NOT EXISTS "${DEST}/conf.properties" AND EXISTS "${DEST}/def/3.7")
    file(WRITE "${DEST}/conf.properties" "#configuration\r\navisynth.def.path=3.7\r\n")
endif()
