# Writes the whole fuzzing seed corpus into DIR: the image seeds of
# make_samples (MAKE_SAMPLES) and those of the seed writer (SEED_WRITER).
cmake_minimum_required(VERSION 3.25)
execute_process(COMMAND ${MAKE_SAMPLES} --seeds ${DIR} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "make_samples --seeds failed: ${rc}")
endif()
execute_process(COMMAND ${SEED_WRITER} ${DIR} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "the seed writer failed: ${rc}")
endif()
