# Tests of the TIFF, JPEG and PNG readers, directly and through the store.
orvo_add_gtest(rasterkit_library_readers_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/tiff_reader_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/multipage_store_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/jpeg_reader_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/png_reader_test.cpp
  LIBS rasterkit_core orvo_testsupport)
