# Writers of the own-format image files (BMP, PCX, PGM, ITEX).
target_sources(orvo_testsupport PRIVATE ${CMAKE_CURRENT_LIST_DIR}/own_format_writers.cpp)
