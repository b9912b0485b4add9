# The Linux install of tavro-cli (`cmake --install BUILD --prefix DIR`) and the
# Debian package CPack makes from it. The program finds its data base beside
# itself or in DATADIR/tavro, relative to where it was installed, so the prefix
# may be chosen at install time and an unpacked package runs where it lies.
install(TARGETS tavro-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${TAVRO_DAT_FILE} DESTINATION ${CMAKE_INSTALL_DATADIR}/tavro)
# The man page's header carries the release number.
configure_file(${CMAKE_SOURCE_DIR}/packaging/linux/tavro-cli.1.in
  ${CMAKE_BINARY_DIR}/generated/tavro-cli.1 @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/generated/tavro-cli.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/linux/tavro-cli.bash
  DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME tavro-cli)
install(FILES ${CMAKE_SOURCE_DIR}/LICENSE
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tavro-cli RENAME copyright)
# nlohmann-json is compiled into the program; libogg and libvorbis are too when it
# is linked statically. Their notices come from the machine's own packages.
foreach(notice libogg0 libvorbis0a nlohmann-json3-dev)
  if(EXISTS /usr/share/doc/${notice}/copyright)
    install(FILES /usr/share/doc/${notice}/copyright
      DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tavro-cli/licenses RENAME ${notice}.txt)
  endif()
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tavro-cli)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Tavro developers")
set(CPACK_PACKAGE_CONTACT "Tavro developers <tavro@tavro.example.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "report what is inside media files")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "tavro-cli reads AVI, WAV, MP3, Ogg, MP4, Matroska, MPEG-TS, FLV, FLAC, ASF\nand raw streams and prints the container, the streams, their codecs, rates,\ninterleave and damage, as text or JSON.")
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS bash-completion)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
include(CPack)
