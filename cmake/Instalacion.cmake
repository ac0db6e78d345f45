# Installation in the desktop's standard places, and the Debian package.
include(GNUInstallDirs)

install(TARGETS partidex partidex-informe RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_SOURCE_DIR}/resources/desktop/partidex.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
configure_file(${CMAKE_SOURCE_DIR}/resources/desktop/io.github.partidex.partidex.metainfo.xml
               ${CMAKE_BINARY_DIR}/io.github.partidex.partidex.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/io.github.partidex.partidex.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(tamano 16 24 32 48 64 128 256)
  install(FILES ${CMAKE_SOURCE_DIR}/resources/icons/partidex-${tamano}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${tamano}x${tamano}/apps RENAME partidex.png)
endforeach()
install(FILES ${CMAKE_SOURCE_DIR}/resources/icons/partidex.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

set(CPACK_PACKAGE_NAME partidex)
set(CPACK_PACKAGE_VENDOR "Partidex")
set(CPACK_PACKAGE_CONTACT "Partidex <soporte@partidex.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Contabilidad por partida doble para empresas y estudios contables")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_PACKAGE_DESCRIPTION
    "Varias empresas en una base de datos SQLite, ejercicios con su plan de cuentas, asientos, balance de sumas y saldos, mayores, libro diario y balance reexpresado por inflación. Interfaz en castellano.")
# The package carries the programs without their debugging information.
set(CPACK_STRIP_FILES ON)
# Debian's runtime packages of what the program links and loads (the SQLite driver is a plug-in).
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6widgets6 (>= 6.4), libqt6printsupport6 (>= 6.4), libqt6sql6 (>= 6.4), libqt6sql6-sqlite (>= 6.4), libsqlite3-0, libsodium23, libxlsxwriter4, libc6, libstdc++6")
# Qt's own dialogs in Spanish ("Sí", "No", "Cancelar").
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_GENERATOR DEB)
include(CPack)
