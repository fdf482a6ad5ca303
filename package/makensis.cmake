# CPack's External generator: makes the setup program with NSIS from the
# files that CPack has staged for the zip.
find_program(MAKENSIS makensis)
if(NOT MAKENSIS)
  message(FATAL_ERROR "makensis not found (Debian package nsis)")
endif()
set(setup "${CPACK_TEMPORARY_DIRECTORY}/${CPACK_PACKAGE_FILE_NAME}-setup.exe")
execute_process(
  COMMAND ${MAKENSIS} -V2 -INPUTCHARSET UTF8 "-DVERSION=${CPACK_PACKAGE_VERSION}"
          "-DSOURCE=${CPACK_TEMPORARY_DIRECTORY}/Halvitrum" "-DICON=${CPACK_HALVITRUM_ICON}"
          "-DOUTFILE=${setup}" "${CPACK_HALVITRUM_NSIS_SCRIPT}"
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "makensis failed")
endif()
set(CPACK_EXTERNAL_BUILT_PACKAGES "${setup}")
