# CPack's External generator: makes the release from the folder Halvitrum
# that CPack has staged, in this order: the program stripped of its debug
# sections, every file and folder dated SOURCE_DATE_EPOCH, the zip, the
# setup program (NSIS), SHA256SUMS, and the winget and Scoop manifests.
# The same commit gives the same zip and setup program byte for byte: NSIS
# and zip store each file's date, which is the commit's; the zip's entries
# are in sorted order, without Unix extra fields, dated in UTC; the strip
# stamps the PE header with SOURCE_DATE_EPOCH too.
set(epoch ${CPACK_HALVITRUM_SOURCE_DATE_EPOCH})
set(staging "${CPACK_TEMPORARY_DIRECTORY}")
set(output "${CPACK_PACKAGE_DIRECTORY}")
set(zipName "${CPACK_PACKAGE_FILE_NAME}.zip")
set(setupName "${CPACK_PACKAGE_FILE_NAME}-setup.exe")
set(zip "${staging}/${zipName}")
set(setup "${staging}/${setupName}")

function(run what)
  execute_process(COMMAND ${ARGN} WORKING_DIRECTORY "${staging}" RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${what} failed")
  endif()
endfunction()

find_program(MAKENSIS_PROGRAM makensis)
find_program(ZIP_PROGRAM zip)
if(NOT MAKENSIS_PROGRAM OR NOT ZIP_PROGRAM)
  message(FATAL_ERROR "makensis and zip are needed (Debian packages nsis and zip)")
endif()

run("Stripping Halvitrum.exe" ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${epoch}
    ${CPACK_HALVITRUM_STRIP} Halvitrum/Halvitrum.exe)

file(GLOB_RECURSE entries LIST_DIRECTORIES true RELATIVE "${staging}" "${staging}/Halvitrum/*")
list(APPEND entries Halvitrum)
list(SORT entries)
run("Dating the staged files" touch -h -d @${epoch} ${entries})

file(REMOVE "${zip}" "${setup}")
run("zip" ${CMAKE_COMMAND} -E env TZ=UTC0 ${ZIP_PROGRAM} -q -X "${zip}" ${entries})

run("makensis" ${MAKENSIS_PROGRAM} -V2 -INPUTCHARSET UTF8 "-DVERSION=${CPACK_PACKAGE_VERSION}"
    "-DSOURCE=${staging}/Halvitrum" "-DICON=${CPACK_HALVITRUM_ICON}"
    "-DOUTFILE=${setup}" "${CPACK_HALVITRUM_NSIS_SCRIPT}")

# Beside the packages: their checksums in sha256sum's format, and the
# manifests that winget and Scoop install them from.
file(SHA256 "${zip}" ZIP_SHA256)
file(SHA256 "${setup}" setupHash)
file(WRITE "${output}/SHA256SUMS" "${ZIP_SHA256}  ${zipName}\n${setupHash}  ${setupName}\n")
string(TOUPPER ${setupHash} SETUP_SHA256)
set(ENV{SOURCE_DATE_EPOCH} ${epoch})
string(TIMESTAMP RELEASE_DATE "%Y-%m-%d" UTC)
set(VERSION ${CPACK_PACKAGE_VERSION})
set(HOMEPAGE ${CPACK_PACKAGE_HOMEPAGE_URL})
string(REGEX REPLACE "/+$" "" RELEASE_URL "${CPACK_HALVITRUM_RELEASE_URL}")
set(ZIP ${zipName})
set(SETUP ${setupName})
set(templates "${CPACK_HALVITRUM_TEMPLATES}")
file(REMOVE_RECURSE "${output}/winget" "${output}/scoop")
configure_file("${templates}/winget.version.yaml.in" "${output}/winget/Orvella.Halvitrum.yaml" @ONLY)
configure_file("${templates}/winget.installer.yaml.in" "${output}/winget/Orvella.Halvitrum.installer.yaml" @ONLY)
configure_file("${templates}/winget.locale.en-US.yaml.in" "${output}/winget/Orvella.Halvitrum.locale.en-US.yaml" @ONLY)
configure_file("${templates}/scoop.json.in" "${output}/scoop/halvitrum.json" @ONLY)

set(CPACK_EXTERNAL_BUILT_PACKAGES "${zip}" "${setup}")
