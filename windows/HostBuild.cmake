# The main build's side of the Windows programs: it cross-builds windows/ once per target as a project of its
# own, lays the i686 programs (the ones add-ons carry, which the tests run under 32-bit Wine where the machine
# runs 32-bit code) into AppDir under their fixed names and the x86-64 ones into AppDir/x86_64/ (a try of an
# add-on runs them where Wine runs only 64-bit programs; the tests run them under 64-bit Wine), and builds the
# portable parts for the host so that the tests, the fuzzer and the benchmarks can run them on Linux.
include(ExternalProject)

set(PW_WINDOWS_PROGRAMS 7zS.sfx msistub.exe batchrunner.exe infrunner.exe tryrun.exe)
foreach(arch i686 x86_64)
  set(dir ${CMAKE_BINARY_DIR}/windows-${arch})
  list(TRANSFORM PW_WINDOWS_PROGRAMS PREPEND ${dir}/ OUTPUT_VARIABLE products)
  ExternalProject_Add(windows_${arch}
    SOURCE_DIR ${CMAKE_SOURCE_DIR}/windows
    BINARY_DIR ${dir}
    CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/windows/toolchain/${arch}-w64-mingw32.cmake
               -DCMAKE_BUILD_TYPE=MinSizeRel
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON
    BUILD_BYPRODUCTS ${products})
  set(PW_WINDOWS_${arch}_DIR ${dir})
endforeach()

list(TRANSFORM PW_WINDOWS_PROGRAMS PREPEND ${PW_WINDOWS_i686_DIR}/ OUTPUT_VARIABLE PW_WINDOWS_SHIPPED)
list(TRANSFORM PW_WINDOWS_PROGRAMS PREPEND ${PW_WINDOWS_x86_64_DIR}/ OUTPUT_VARIABLE x86_64_programs)
add_custom_target(windows_programs ALL
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${PW_WINDOWS_SHIPPED} ${PW_APPDIR}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PW_APPDIR}/x86_64
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${x86_64_programs} ${PW_APPDIR}/x86_64
  DEPENDS windows_i686 windows_x86_64
  COMMENT "Laying the Windows programs into AppDir")
install(FILES ${PW_WINDOWS_SHIPPED} DESTINATION lib/packwright)
install(FILES ${x86_64_programs} DESTINATION lib/packwright/x86_64)

# LZMA decoding comes from the LZMA SDK that Debian ships as source in lzma-dev.
find_file(PW_LZMADEC_C LzmaDec.c PATHS /usr/include/lzma NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)

include(${CMAKE_SOURCE_DIR}/windows/rt/HostBuild.cmake)
include(${CMAKE_SOURCE_DIR}/windows/unpack/HostBuild.cmake)
include(${CMAKE_SOURCE_DIR}/windows/sfx/HostBuild.cmake)

# packwright-build beside the x86-64 programs under their shipped names: an AppDir whose add-ons run under
# wine64, for the end-to-end tests and the benchmarks. The add-on is made by the unchanged program from
# whatever module and runners lie beside it, as it is for a user who replaces them.
set(PW_X86_64_APPDIR ${CMAKE_BINARY_DIR}/app-x86_64)
add_custom_target(windows_x86_64_appdir
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PW_X86_64_APPDIR}
  COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:packwright-build> ${x86_64_programs} ${PW_X86_64_APPDIR}
  DEPENDS packwright-build windows_x86_64
  COMMENT "Laying packwright-build beside the x86-64 Windows programs"
  VERBATIM)
