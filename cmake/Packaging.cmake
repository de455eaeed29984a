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
