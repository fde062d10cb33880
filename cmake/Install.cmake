# What `cmake --install` puts under the prefix, laid out as a Debian program:
# programs in bin, the help guide, icons, desktop entry, metainfo, the file
# type of state diagrams, man pages, bash completion and the CMake package.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(KESTROM_APP_ID "org.kestrom.kestrom" CACHE STRING
    "AppStream component id; follows the home page once the project has one")
if(NOT DEFINED KESTROM_HOME_PAGE)
  set(KESTROM_HOME_PAGE "https://kestrom.invalid/")
endif()

set(data ${PROJECT_SOURCE_DIR}/data)
set(share ${CMAKE_INSTALL_DATADIR})

install(TARGETS kestrom-gen EXPORT KestromTargets RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET kestrom)
  install(TARGETS kestrom RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${PROJECT_SOURCE_DIR}/src/ui/help/kestrom.hlp DESTINATION ${share}/kestrom)
endif()

foreach(size 16 24 32 48 64 128 256)
  install(FILES ${data}/icons/hicolor/${size}x${size}/kestrom.png
          DESTINATION ${share}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${data}/icons/kestrom.svg DESTINATION ${share}/icons/hicolor/scalable/apps)
install(FILES ${data}/kestrom.desktop DESTINATION ${share}/applications)
configure_file(${data}/kestrom.metainfo.xml.in
               ${PROJECT_BINARY_DIR}/data/${KESTROM_APP_ID}.metainfo.xml @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/data/${KESTROM_APP_ID}.metainfo.xml DESTINATION ${share}/metainfo)
install(FILES ${data}/kestrom-mime.xml DESTINATION ${share}/mime/packages RENAME kestrom.xml)
install(FILES ${data}/completion/kestrom-gen DESTINATION ${share}/bash-completion/completions)

# Man pages and the package changelog go compressed, as Debian has them.
set(compressed)
foreach(source man/kestrom.1 man/kestrom-gen.1 changelog)
  get_filename_component(name ${source} NAME)
  set(gz ${PROJECT_BINARY_DIR}/data/${name}.gz)
  add_custom_command(OUTPUT ${gz}
    COMMAND sh -c "gzip -n -9 -c '${data}/${source}' > '${gz}'"
    DEPENDS ${data}/${source} VERBATIM)
  list(APPEND compressed ${gz})
endforeach()
add_custom_target(kestrom_compressed_docs ALL DEPENDS ${compressed})
install(FILES ${PROJECT_BINARY_DIR}/data/kestrom.1.gz ${PROJECT_BINARY_DIR}/data/kestrom-gen.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${data}/copyright DESTINATION ${share}/doc/kestrom)
install(FILES ${PROJECT_BINARY_DIR}/data/changelog.gz DESTINATION ${share}/doc/kestrom
        RENAME changelog.gz)

set(package_dir ${CMAKE_INSTALL_LIBDIR}/cmake/Kestrom)
install(EXPORT KestromTargets NAMESPACE Kestrom:: DESTINATION ${package_dir})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/KestromConfig.cmake.in
  ${PROJECT_BINARY_DIR}/cmake/KestromConfig.cmake INSTALL_DESTINATION ${package_dir})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/cmake/KestromConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/cmake/KestromConfig.cmake
              ${PROJECT_BINARY_DIR}/cmake/KestromConfigVersion.cmake
              ${PROJECT_SOURCE_DIR}/cmake/KestromFunctions.cmake
        DESTINATION ${package_dir})
