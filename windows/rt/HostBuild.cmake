# The runtime's portable parts (wide text, UTF-8, command lines) built for the host, for the Linux tests of
# everything that uses them.
add_library(pw_rt_host STATIC
  ${CMAKE_SOURCE_DIR}/windows/rt/Text.c
  ${CMAKE_SOURCE_DIR}/windows/rt/CommandLine.c
  ${CMAKE_SOURCE_DIR}/windows/rt/HostMemory.c)
target_include_directories(pw_rt_host PUBLIC ${CMAKE_SOURCE_DIR}/windows/rt)
