# Installation and packages. On Linux, `cmake --install` lays the programs out
# under the usual prefix and the package target writes a Debian package; on
# Windows the package target writes a zip that runs from wherever it is
# unpacked: the two programs, a README, the license and the sample DATA folder
# side by side.
set(pkg_dir ${PROJECT_SOURCE_DIR}/packaging)

if(WIN32)
  set(SORAHIKI_INSTALL_BINDIR .)
  # Notepad reads the README as UTF-8 by its byte order mark.
  configure_file(${pkg_dir}/windows/README.txt.in ${PROJECT_BINARY_DIR}/packaging/README.txt
                 @ONLY NEWLINE_STYLE CRLF)
  install(FILES ${PROJECT_BINARY_DIR}/packaging/README.txt DESTINATION .)
  install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/DATA DESTINATION .)

  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME Sorahiki-${PROJECT_VERSION}-win64)
else()
  include(GNUInstallDirs)
  set(SORAHIKI_INSTALL_BINDIR ${CMAKE_INSTALL_BINDIR})
  # Debian wants folders 0755 whatever the umask of the build.
  set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
      OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/sorahiki)

  # Debian keeps manual pages and the change log compressed, without a time
  # stamp in the gzip header so that the package is reproducible.
  find_program(SORAHIKI_GZIP gzip REQUIRED)
  set(gz_dir ${PROJECT_BINARY_DIR}/packaging)
  configure_file(${pkg_dir}/debian/changelog.in ${gz_dir}/changelog @ONLY)
  foreach(source ${pkg_dir}/man/sorahiki.1 ${pkg_dir}/man/sorahiki-cli.1 ${gz_dir}/changelog)
    get_filename_component(name ${source} NAME)
    add_custom_command(
      OUTPUT ${gz_dir}/gz/${name}.gz
      COMMAND ${CMAKE_COMMAND} -E copy ${source} ${gz_dir}/gz/${name}
      COMMAND ${SORAHIKI_GZIP} -9 -n -f ${gz_dir}/gz/${name}
      DEPENDS ${source}
      VERBATIM)
    list(APPEND gz_files ${gz_dir}/gz/${name}.gz)
  endforeach()
  add_custom_target(sorahiki_compressed_docs ALL DEPENDS ${gz_files})

  install(FILES ${pkg_dir}/linux/sorahiki.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${pkg_dir}/icons/sorahiki.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  install(FILES ${pkg_dir}/icons/sorahiki.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps)
  install(FILES ${gz_dir}/gz/sorahiki.1.gz ${gz_dir}/gz/sorahiki-cli.1.gz
          DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE ${pkg_dir}/debian/copyright ${gz_dir}/gz/changelog.gz
          DESTINATION ${doc_dir})
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/DATA DESTINATION ${doc_dir}/examples)
  install(FILES ${pkg_dir}/debian/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
          RENAME sorahiki)

  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_NAME sorahiki)
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  # The window draws its Japanese text with one of these fonts when present.
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-ipafont-gothic | fonts-noto-cjk")
  set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
endif()

set(CPACK_PACKAGE_NAME sorahiki)
set(CPACK_PACKAGE_VENDOR "Sorahiki project")
set(CPACK_PACKAGE_CONTACT "Sorahiki project <maintainers@sorahiki.example.org>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "find Shift-JIS text files by the words in them")
set(CPACK_PACKAGE_DESCRIPTION
    "Sorahiki searches the text files kept in a folder named DATA in its current\n"
    "directory for files that hold every word of a query, and shows ten hits a\n"
    "page with title, excerpt and path in one small window with a Japanese\n"
    "interface. The files are read as Shift-JIS (code page 932) text.\n"
    "\n"
    "The package also holds sorahiki-cli, which runs the same search in a\n"
    "terminal and prints the hits as text or as tab-separated lines.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
include(CPack)
