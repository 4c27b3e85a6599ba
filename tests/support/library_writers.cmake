# Writers of the library-backed image files (TIFF, JPEG, PNG).
target_sources(orvo_testsupport PRIVATE ${CMAKE_CURRENT_LIST_DIR}/library_writers.cpp)
