# The module's portable logic (block, names, command, shortcut lines, image end) built for the host, for its
# Linux tests.
set(PW_SFX_DIR ${CMAKE_SOURCE_DIR}/windows/sfx)
include(${PW_SFX_DIR}/Sources.cmake)
list(TRANSFORM PW_SFX_PORTABLE PREPEND ${PW_SFX_DIR}/ OUTPUT_VARIABLE sources)
add_library(pw_sfx_host STATIC ${sources})
target_include_directories(pw_sfx_host PUBLIC ${PW_SFX_DIR})
target_link_libraries(pw_sfx_host PUBLIC pw_rt_host)
