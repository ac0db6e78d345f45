# Installation in the desktop's standard places, and the Debian package.
include(GNUInstallDirs)

install(TARGETS partidex partidex-informe RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The release date of this version is the one written beside it in CHANGELOG.md: the AppStream release,
# the manual pages and the package's changelog all carry it, never the day of the build.
file(READ ${CMAKE_SOURCE_DIR}/CHANGELOG.md PARTIDEX_CAMBIOS)
string(REGEX MATCH "\n## ${PROJECT_VERSION} \\(([0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9])\\)" _version "${PARTIDEX_CAMBIOS}")
if(NOT CMAKE_MATCH_1)
  message(FATAL_ERROR "CHANGELOG.md no tiene el título \"## ${PROJECT_VERSION} (aaaa-mm-dd)\" de esta versión")
endif()
set(PARTIDEX_FECHA_VERSION ${CMAKE_MATCH_1})
execute_process(COMMAND date -u -R -d "${PARTIDEX_FECHA_VERSION} 12:00" OUTPUT_VARIABLE PARTIDEX_FECHA_DEBIAN
                OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)

# Debian's documentation of the package: a changelog compressed without time stamp, and the copyright.
set(_doc ${CMAKE_BINARY_DIR}/doc)
file(WRITE ${_doc}/changelog "partidex (${PROJECT_VERSION}) unstable; urgency=medium\n\n  * Version ${PROJECT_VERSION}; see the upstream CHANGELOG.md.\n\n -- Partidex <soporte@partidex.invalid>  ${PARTIDEX_FECHA_DEBIAN}\n")
set(_paginas "")
foreach(programa Partidex partidex-informe)
  configure_file(${CMAKE_SOURCE_DIR}/resources/man/${programa}.1 ${_doc}/${programa}.1 @ONLY)
  list(APPEND _paginas ${_doc}/${programa}.1.gz)
  add_custom_command(OUTPUT ${_doc}/${programa}.1.gz COMMAND gzip -9nf -k ${_doc}/${programa}.1
                     DEPENDS ${_doc}/${programa}.1 VERBATIM)
endforeach()
add_custom_command(OUTPUT ${_doc}/changelog.gz COMMAND gzip -9nf -k ${_doc}/changelog DEPENDS ${_doc}/changelog VERBATIM)
add_custom_target(partidex_documentos ALL DEPENDS ${_paginas} ${_doc}/changelog.gz)
install(FILES ${_paginas} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${_doc}/changelog.gz ${CMAKE_SOURCE_DIR}/resources/desktop/copyright
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/partidex)
install(FILES ${CMAKE_SOURCE_DIR}/CHANGELOG.md DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/partidex)
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
    "Varias empresas en una base de datos SQLite o PostgreSQL, ejercicios con su\nplan de cuentas, asientos, balance de sumas y saldos, mayores, libro diario y\nbalance reexpresado por inflación. Interfaz en castellano.")
# The package carries the programs without their debugging information.
set(CPACK_STRIP_FILES ON)
# Debian's runtime packages of what the program links and loads (the SQLite driver is a plug-in).
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6widgets6 (>= 6.4), libqt6printsupport6 (>= 6.4), libqt6sql6 (>= 6.4), libqt6sql6-sqlite (>= 6.4), libsqlite3-0, libpq5, libsodium23, libxlsxwriter4, libc6, libstdc++6")
# Qt's own dialogs in Spanish ("Sí", "No", "Cancelar").
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_GENERATOR DEB)
include(CPack)
