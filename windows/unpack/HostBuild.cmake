# The 7z reader built for Linux, with the main build's warnings and sanitizers, for the tests, the fuzzer
# and the benchmark; and pwunpack, the Linux extractor on top of it.
set(PW_UNPACK_DIR ${CMAKE_SOURCE_DIR}/windows/unpack)
get_filename_component(PW_LZMADEC_DIR ${PW_LZMADEC_C} DIRECTORY)
include(${PW_UNPACK_DIR}/Sources.cmake)
list(TRANSFORM PW_UNPACK_SOURCES PREPEND ${PW_UNPACK_DIR}/ OUTPUT_VARIABLE sources)
add_library(pw_unpack_host STATIC ${sources} ${PW_LZMADEC_C} ${PW_UNPACK_DIR}/host/PosixExtract.c)
target_include_directories(pw_unpack_host PUBLIC ${PW_UNPACK_DIR} ${PW_UNPACK_DIR}/host)
target_compile_options(pw_unpack_host PRIVATE -iquote ${PW_LZMADEC_DIR})
set_target_properties(pw_unpack_host PROPERTIES C_STANDARD 99 C_EXTENSIONS OFF AUTOMOC OFF)
# The POSIX calls of the extraction half are not C99.
set_source_files_properties(${PW_UNPACK_DIR}/host/PosixExtract.c PROPERTIES COMPILE_OPTIONS -std=gnu11)

# Finding the archive in a self-extractor is the module's own work.
target_link_libraries(pw_unpack_host PUBLIC pw_sfx_host)

add_executable(pwunpack ${PW_UNPACK_DIR}/host/PwUnpack.c)
target_link_libraries(pwunpack PRIVATE pw_unpack_host)
set_target_properties(pwunpack PROPERTIES AUTOMOC OFF)
