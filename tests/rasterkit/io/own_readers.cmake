# Tests of the own-format readers: BMP, PGM, ITEX and PCX.
orvo_add_gtest(rasterkit_own_readers_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/bmp_reader_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/pgm_itex_reader_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/pcx_reader_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/own_reader_files_test.cpp
  LIBS rasterkit_core orvo_testsupport)
