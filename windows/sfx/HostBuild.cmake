# The module's portable logic (block, names, command, shortcut lines, image end) built for the host, for its
# Linux tests.
set(PW_SFX_DIR ${CMAKE_SOURCE_DIR}/windows/sfx)
add_library(pw_sfx_host STATIC ${PW_SFX_DIR}/Block.c ${PW_SFX_DIR}/Names.c ${PW_SFX_DIR}/Command.c
  ${PW_SFX_DIR}/Shortcut.c ${PW_SFX_DIR}/Image.c)
target_include_directories(pw_sfx_host PUBLIC ${PW_SFX_DIR})
target_link_libraries(pw_sfx_host PUBLIC pw_rt_host)
