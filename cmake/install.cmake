# Install layout and release archive.
#
#   bin/                 the plug-in krxstat.dll and, beside it, everything it
#                        loads in a simulated installation: the simulation kit's
#                        stand-ins, language and picture libraries, ink and
#                        utility libraries, sample model profile, sounds, pages
#   include/krxstat.h    the interface for hosts, with include/krxchannels.h
#   share/krxstat/       the integration guide, README, and krxkit.reg, the
#                        registry of the simulated installation for this prefix
#
# The simulated installation runs from bin/ alone: `wine bin/krxhost.exe demo`.
#
# Every DLL and program is installed stripped, with its debug information
# beside it in NAME.debug, linked by a debug link so that a crash report can
# still be symbolised.
set(krx_runtime_targets
  krxstat
  krxhost kit_bxapi kit_bxapiset kit_companion kit_host_module kit_ink kit_nvnetq10 kitpmsrv
  kit_pictures kit_utility kit_lang_en kit_lang_ja kitgallery)
foreach(target ${krx_runtime_targets})
  install(TARGETS ${target} RUNTIME DESTINATION bin LIBRARY DESTINATION bin ARCHIVE EXCLUDE_FROM_ALL)
  install(CODE "
    set(bin \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin\")
    set(name \"$<TARGET_FILE_NAME:${target}>\")
    execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --only-keep-debug \${name} \${name}.debug
                    WORKING_DIRECTORY \${bin} RESULT_VARIABLE keep)
    execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-all \${name}
                    WORKING_DIRECTORY \${bin} RESULT_VARIABLE strip)
    execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --add-gnu-debuglink=\${name}.debug \${name}
                    WORKING_DIRECTORY \${bin} RESULT_VARIABLE link)
    if(keep OR strip OR link)
      message(FATAL_ERROR \"splitting the debug information of \${name} failed\")
    endif()
  ")
endforeach()

install(FILES ${CMAKE_BINARY_DIR}/bin/KX500.ini DESTINATION bin)
install(DIRECTORY ${CMAKE_BINARY_DIR}/bin/ DESTINATION bin FILES_MATCHING PATTERN "*.wav"
        PATTERN "*_tests*" EXCLUDE PATTERN "help" EXCLUDE)
install(DIRECTORY ${CMAKE_BINARY_DIR}/bin/help DESTINATION bin OPTIONAL)
install(FILES ${PROJECT_SOURCE_DIR}/include/krxstat.h ${PROJECT_SOURCE_DIR}/include/krxchannels.h
        DESTINATION include)
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
