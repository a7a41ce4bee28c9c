# Where `cmake --install` puts Ostrel. Components: "ostrel" (the program, drvsetup, the
# transfer filter, the desktop integration) and "virtualcam" (the virtual camera plugin).
include_guard(GLOBAL)
set(OSTREL_INSTALL_RULES ON)

install(TARGETS ostrel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT ostrel)
install(TARGETS drvsetup RUNTIME DESTINATION ${CMAKE_INSTALL_SBINDIR} COMPONENT ostrel)
install(TARGETS gstostreltransfer LIBRARY DESTINATION ${OSTREL_INSTALL_PLUGINDIR}
        COMPONENT ostrel)
install(TARGETS gstostrelvirtual LIBRARY DESTINATION ${OSTREL_INSTALL_PLUGINDIR}
        COMPONENT virtualcam)

set(_res ${PROJECT_SOURCE_DIR}/res)
install(FILES ${_res}/desktop/org.ostrel.Ostrel.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT ostrel)
install(FILES ${_res}/desktop/org.ostrel.Ostrel.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT ostrel)
install(FILES ${_res}/icons/ostrel.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME org.ostrel.Ostrel.svg COMPONENT ostrel)
foreach(_size 16 22 24 32 48 64 128 256)
  install(FILES ${_res}/icons/ostrel_${_size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${_size}x${_size}/apps
          RENAME org.ostrel.Ostrel.png COMPONENT ostrel)
endforeach()

# Manual pages, compressed as Debian wants them.
find_program(GZIP_PROGRAM gzip REQUIRED)
foreach(_page res/ostrel.1 drvsetup/drvsetup.8)
  get_filename_component(_name ${_page} NAME)
  string(REGEX REPLACE ".*\\.([0-9])$" "\\1" _section ${_name})
  set(_gz ${PROJECT_BINARY_DIR}/man/${_name}.gz)
  add_custom_command(OUTPUT ${_gz}
    COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/${_page} ${PROJECT_BINARY_DIR}/man/${_name}
    COMMAND ${GZIP_PROGRAM} -9nf ${PROJECT_BINARY_DIR}/man/${_name}
    DEPENDS ${PROJECT_SOURCE_DIR}/${_page} VERBATIM)
  list(APPEND _man_pages ${_gz})
  install(FILES ${_gz} DESTINATION ${CMAKE_INSTALL_MANDIR}/man${_section} COMPONENT ostrel)
endforeach()
add_custom_target(ostrel_man ALL DEPENDS ${_man_pages})

# udev reads rules from <prefix>/lib/udev/rules.d whatever the library folder is.
install(FILES ${_res}/udev/70-ostrel-camera-button.rules DESTINATION lib/udev/rules.d
        COMPONENT ostrel)
