# The 7z reader's sources: one list for the module's cross build and for the host build of the tests.
set(PW_UNPACK_SOURCES SzArchive.c SzBcj2.c SzCrc.c SzFilters.c SzFolder.c SzHeader.c SzHeaderRead.c SzLzma.c SzStreamsInfo.c)
