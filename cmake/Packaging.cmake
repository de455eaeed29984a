# The distribution folder and its zip: both executables, zlib1.dll, the logo and
# the help pages, everything the program needs beside itself.
set(TARVO_DIST_DIR ${CMAKE_BINARY_DIR}/dist/Tarvo2)
set(TARVO_DIST_ZIP ${CMAKE_BINARY_DIR}/dist/Tarvo2.zip)
file(GLOB TARVO_HELP_PAGES ${PROJECT_SOURCE_DIR}/resources/help/*.rtf)

# The programs and tests run from bin/ find the help pages beside them too.
file(COPY ${TARVO_HELP_PAGES} DESTINATION ${CMAKE_BINARY_DIR}/bin/help)

add_custom_command(
  OUTPUT ${TARVO_DIST_ZIP}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${TARVO_DIST_DIR}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${TARVO_DIST_DIR}/help
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:Tarvo2> $<TARGET_FILE:Tarvo2Admin> ${TARVO_ZLIB_DLL}
          ${PROJECT_SOURCE_DIR}/resources/tarvo2logo.png ${TARVO_DIST_DIR}
  COMMAND ${CMAKE_COMMAND} -E copy ${TARVO_HELP_PAGES} ${TARVO_DIST_DIR}/help
  COMMAND ${CMAKE_COMMAND} -E chdir ${CMAKE_BINARY_DIR}/dist ${CMAKE_COMMAND} -E tar cf Tarvo2.zip --format=zip Tarvo2
  DEPENDS Tarvo2 Tarvo2Admin ${TARVO_HELP_PAGES} ${PROJECT_SOURCE_DIR}/resources/tarvo2logo.png
  COMMENT "Packaging dist/Tarvo2 and dist/Tarvo2.zip"
  VERBATIM)
add_custom_target(dist ALL DEPENDS ${TARVO_DIST_ZIP})

# The installer, beside the zip, made by makensis from installer/tarvo2.nsi out of
# the distribution folder.
find_program(TARVO_MAKENSIS makensis)
if(NOT TARVO_MAKENSIS)
  if(CMAKE_CROSSCOMPILING)
    message(FATAL_ERROR "makensis not found: install the nsis package (tools/install-deps.sh)")
  endif()
  message(STATUS "makensis not found: the build makes no installer")
  return()
endif()

set(TARVO_SETUP_EXE ${CMAKE_BINARY_DIR}/dist/Tarvo2-setup.exe)
set(TARVO_SETUP_FILES ${CMAKE_BINARY_DIR}/generated/tarvo2_files.nsh)
# What the installer puts in its folder and exactly what its uninstaller takes away again
# (a file still in use goes at the next restart).
get_filename_component(zlib_name ${TARVO_ZLIB_DLL} NAME)
set(install_lines "")
set(remove_lines "")
foreach(name $<TARGET_FILE_NAME:Tarvo2> $<TARGET_FILE_NAME:Tarvo2Admin> ${zlib_name} tarvo2logo.png)
  string(APPEND install_lines "  File \"${TARVO_DIST_DIR}/${name}\"\n")
  string(APPEND remove_lines "  Delete /REBOOTOK \"$INSTDIR\\${name}\"\n")
endforeach()
string(APPEND install_lines "  SetOutPath \"$INSTDIR\\help\"\n")
foreach(page ${TARVO_HELP_PAGES})
  get_filename_component(name ${page} NAME)
  string(APPEND install_lines "  File \"${TARVO_DIST_DIR}/help/${name}\"\n")
  string(APPEND remove_lines "  Delete /REBOOTOK \"$INSTDIR\\help\\${name}\"\n")
endforeach()
file(GENERATE OUTPUT ${TARVO_SETUP_FILES} CONTENT
"!macro TarvoInstallFiles
  SetOutPath \"$INSTDIR\"
${install_lines}  SetOutPath \"$INSTDIR\"
!macroend
!macro TarvoRemoveFiles
${remove_lines}  RMDir /REBOOTOK \"$INSTDIR\\help\"
!macroend
")

add_custom_command(
  OUTPUT ${TARVO_SETUP_EXE}
  COMMAND ${TARVO_MAKENSIS} -V2 -WX
          -DTARVO_VERSION=${PROJECT_VERSION} -DTARVO_VERSION_QUAD=${TARVO_VERSION_QUAD}
          -DTARVO_HOMEPAGE=${TARVO_HOMEPAGE} -DTARVO_ICON=${PROJECT_SOURCE_DIR}/resources/aaa.ico
          -DTARVO_FILES=${TARVO_SETUP_FILES} -DTARVO_OUTFILE=${TARVO_SETUP_EXE}
          ${PROJECT_SOURCE_DIR}/installer/tarvo2.nsi
  DEPENDS ${TARVO_DIST_ZIP} ${TARVO_SETUP_FILES} ${PROJECT_SOURCE_DIR}/installer/tarvo2.nsi
          ${PROJECT_SOURCE_DIR}/resources/aaa.ico
  COMMENT "Building dist/Tarvo2-setup.exe"
  VERBATIM)
add_custom_target(setup ALL DEPENDS ${TARVO_SETUP_EXE})
