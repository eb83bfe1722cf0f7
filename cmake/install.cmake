# Install layout and release archive.
#
#   bin/                 the plug-in krxstat.dll and, beside it, everything it
#                        loads in a simulated installation: the simulation kit's
#                        stand-ins, language and picture libraries, ink and
#                        utility libraries, sample model profile, sounds, pages
#   include/krxstat.h    the interface for hosts
#   share/krxstat/       the integration guide, README, and krxkit.reg, the
#                        registry of the simulated installation for this prefix
#
# The simulated installation runs from bin/ alone: `wine bin/krxhost.exe demo`.
set(krx_runtime_targets
  krxstat
  krxhost kit_bxapi kit_bxapiset kit_companion kit_host_module kit_ink kit_nvnetq10 kitpmsrv
  kit_pictures kit_utility kit_lang_en kit_lang_ja kitgallery)
install(TARGETS ${krx_runtime_targets} RUNTIME DESTINATION bin LIBRARY DESTINATION bin
        ARCHIVE EXCLUDE_FROM_ALL)

install(FILES ${CMAKE_BINARY_DIR}/bin/KX500.ini DESTINATION bin)
install(DIRECTORY ${CMAKE_BINARY_DIR}/bin/ DESTINATION bin FILES_MATCHING PATTERN "*.wav"
        PATTERN "*_tests*" EXCLUDE PATTERN "help" EXCLUDE)
install(DIRECTORY ${CMAKE_BINARY_DIR}/bin/help DESTINATION bin OPTIONAL)
install(FILES ${PROJECT_SOURCE_DIR}/include/krxstat.h DESTINATION include)
install(FILES ${PROJECT_SOURCE_DIR}/docs/INTEGRATION.md ${PROJECT_SOURCE_DIR}/README.md
        DESTINATION share/krxstat)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/images DESTINATION share/krxstat OPTIONAL)

# The registry of the simulated installation, written for the install prefix
# as Wine sees it (drive Z: is the root of the Unix file system).
install(CODE "
  set(prefix \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\")
  string(REPLACE \"/\" \"\\\\\\\\\" win_bin \"Z:\${prefix}/bin\")
  configure_file(\"${PROJECT_SOURCE_DIR}/kit/install/krxkit.reg.in\" \"\${prefix}/share/krxstat/krxkit.reg\" @ONLY)
")

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME krxstat)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME krxstat-${PROJECT_VERSION}-win32)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
include(CPack)
