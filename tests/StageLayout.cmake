# Installs the build tree BUILD under STAGE as the package lays it out, twice: i686/ as it ships, and
# x86_64/ for Wine that runs only 64-bit programs, where the x86-64 builds from AppDir's x86_64/ folder
# stand at its top under the shipped names. Everything else, that folder included, stays where the install
# rules put it, so that a fault of the layout shows on either stand.
#   cmake -DBUILD=... -DSTAGE=... -P StageLayout.cmake
file(REMOVE_RECURSE ${STAGE})
set(ENV{DESTDIR} "")
foreach(arch i686 x86_64)
  execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${STAGE}/${arch} --strip
    OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
endforeach()
file(GLOB twins ${STAGE}/x86_64/lib/packwright/x86_64/*)
file(COPY ${twins} DESTINATION ${STAGE}/x86_64/lib/packwright)
