# Installation: the libraries with their SONAMEs and public headers, the
# programs (finding the libraries through a relative RPATH, so that an
# installed tree needs no build tree), the bundled data, help texts, desktop
# entries and icons, pkg-config files and the CMake package orvo (imported
# targets orvo::rasterkit, orvo::glyphnet, orvo::orvosys).
include(CMakePackageConfigHelpers)

set(ORVO_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/orvo)
set(ORVO_INSTALL_INCLUDEDIR ${CMAKE_INSTALL_INCLUDEDIR}/orvo)

# Installed consumers see the headers under include/orvo.
foreach(lib rasterkit glyphnet orvosys)
  get_target_property(dirs ${lib} INTERFACE_INCLUDE_DIRECTORIES)
  set_target_properties(${lib} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES
    "$<BUILD_INTERFACE:${dirs}>;$<INSTALL_INTERFACE:${ORVO_INSTALL_INCLUDEDIR}>")
endforeach()

install(TARGETS rasterkit glyphnet orvosys EXPORT orvoTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime NAMELINK_COMPONENT development
  INCLUDES DESTINATION ${ORVO_INSTALL_INCLUDEDIR})
install(FILES rasterkit/include/rasterkit.h glyphnet/include/glyphnet.h platform/include/orvosys.h
  DESTINATION ${ORVO_INSTALL_INCLUDEDIR} COMPONENT development)
install(TARGETS platix RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime)
# The desktop programs and the training dialogs exist only with Qt 6.
foreach(target learner orvoplatix orvotutrix)
  if(TARGET ${target})
    install(TARGETS ${target} OPTIONAL
      RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime
      LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime NAMELINK_SKIP)
  endif()
endforeach()

install(DIRECTORY data/kb data/models DESTINATION ${CMAKE_INSTALL_DATADIR}/orvo COMPONENT runtime)
# Desktop entries and the icons the programs draw, at the standard sizes.
install(FILES desktop/share/applications/orvoplatix.desktop desktop/share/applications/orvotutrix.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT runtime)
install(DIRECTORY desktop/share/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons COMPONENT runtime)

# platix's help, every command's --help in one text, made by the program.
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/platix-help.txt
  COMMAND ${CMAKE_COMMAND} -DPLATIX=$<TARGET_FILE:platix> -DOUT=${CMAKE_BINARY_DIR}/platix-help.txt
          -P ${PROJECT_SOURCE_DIR}/cmake/platix_help.cmake
  DEPENDS platix ${PROJECT_SOURCE_DIR}/cmake/platix_help.cmake VERBATIM)
add_custom_target(platix_help ALL DEPENDS ${CMAKE_BINARY_DIR}/platix-help.txt)
install(FILES ${CMAKE_BINARY_DIR}/platix-help.txt README.md DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT runtime)

# Relocatable: the prefix is found from the .pc file's own folder.
file(RELATIVE_PATH ORVO_PC_TO_PREFIX "${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "${CMAKE_INSTALL_PREFIX}")
string(REGEX REPLACE "/$" "" ORVO_PC_TO_PREFIX "${ORVO_PC_TO_PREFIX}")
foreach(pc orvo-rasterkit orvo-glyphnet)
  configure_file(cmake/${pc}.pc.in ${CMAKE_BINARY_DIR}/${pc}.pc @ONLY)
  install(FILES ${CMAKE_BINARY_DIR}/${pc}.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT development)
endforeach()

install(EXPORT orvoTargets NAMESPACE orvo:: DESTINATION ${ORVO_INSTALL_CMAKEDIR} COMPONENT development)
configure_package_config_file(cmake/orvoConfig.cmake.in ${CMAKE_BINARY_DIR}/orvoConfig.cmake
  INSTALL_DESTINATION ${ORVO_INSTALL_CMAKEDIR})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/orvoConfigVersion.cmake COMPATIBILITY SameMinorVersion)
install(FILES ${CMAKE_BINARY_DIR}/orvoConfig.cmake ${CMAKE_BINARY_DIR}/orvoConfigVersion.cmake
  DESTINATION ${ORVO_INSTALL_CMAKEDIR} COMPONENT development)
