# See CMakeLists.txt. Fails with a message naming the first thing missing.
set(prefix ${WORK_DIR}/prefix)
set(sample ${SOURCE_DIR}/data/samples/scene00001.jpg)
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err WORKING_DIRECTORY ${WORK_DIR})
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "failed (${rc}): ${ARGN}\n${out}\n${err}")
  endif()
  set(out "${out}" PARENT_SCOPE)
  set(err "${err}" PARENT_SCOPE)
endfunction()

run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})

foreach(f ${LIBDIR}/librasterkit.so.0 ${LIBDIR}/libglyphnet.so.0 ${LIBDIR}/liborvosys.so.0 ${LIBDIR}/librasterkit.so
          include/orvo/rasterkit.h include/orvo/glyphnet.h include/orvo/orvosys.h bin/platix
          share/orvo/kb/plates.kbf share/orvo/kb/plates.dat ${LIBDIR}/pkgconfig/orvo-rasterkit.pc
          ${LIBDIR}/pkgconfig/orvo-glyphnet.pc ${LIBDIR}/cmake/orvo/orvoConfig.cmake
          share/applications/orvoplatix.desktop share/applications/orvotutrix.desktop
          share/icons/hicolor/48x48/apps/orvoplatix.png share/doc/orvo/platix-help.txt)
  if(NOT EXISTS ${prefix}/${f})
    message(FATAL_ERROR "not installed: ${f}")
  endif()
endforeach()

# The installed program finds its libraries and its data in the prefix.
run(readelf -d ${prefix}/bin/platix)
string(FIND "${out}" "${BUILD_DIR}" at)
if(NOT at EQUAL -1)
  message(FATAL_ERROR "the installed platix still points into the build tree:\n${out}")
endif()
run(${CMAKE_COMMAND} -E env --unset=ORVO_DATA_DIR --unset=LD_LIBRARY_PATH ${prefix}/bin/platix --version)
foreach(reader model box)
  set(data "${prefix}/share/orvo/models/plates.pnet")
  if(reader STREQUAL "box")
    set(data "${prefix}/share/orvo/kb/plates.kbf")
  endif()
  set(how "")
  if(reader STREQUAL "box")
    set(how "--reader;box")
  endif()
  run(${CMAKE_COMMAND} -E env --unset=ORVO_DATA_DIR --unset=LD_LIBRARY_PATH ${prefix}/bin/platix read ${how} ${sample})
  string(FIND "${err}" "${data}" at)
  if(at EQUAL -1 OR NOT out MATCHES "\t[A-Z0-9]")
    message(FATAL_ERROR "the installed platix did not read with the installed ${data}:\n${out}\n${err}")
  endif()
endforeach()

# pkg-config.
run(${CMAKE_COMMAND} -E env PKG_CONFIG_PATH=${prefix}/${LIBDIR}/pkgconfig pkg-config --cflags --libs orvo-rasterkit orvo-glyphnet)
string(STRIP "${out}" flags)
separate_arguments(flags UNIX_COMMAND "${flags}")
run(${C_COMPILER} ${CONSUMER_FLAGS} ${SOURCE_DIR}/tests/install/consumer.c ${flags} -Wl,-rpath,${prefix}/${LIBDIR} -o ${WORK_DIR}/consumer_pc)
run(${WORK_DIR}/consumer_pc ${sample})
if(NOT out MATCHES "^770 577 [1-9]")
  message(FATAL_ERROR "the pkg-config build read: ${out}")
endif()

# find_package(orvo).
file(WRITE ${WORK_DIR}/consumer/CMakeLists.txt
"cmake_minimum_required(VERSION 3.25)
project(consumer C)
find_package(orvo 0.1 REQUIRED)
add_executable(consumer ${SOURCE_DIR}/tests/install/consumer.c)
target_link_libraries(consumer PRIVATE orvo::rasterkit orvo::glyphnet)
")
run(${CMAKE_COMMAND} -S ${WORK_DIR}/consumer -B ${WORK_DIR}/consumer/build -DCMAKE_PREFIX_PATH=${prefix}
    -DCMAKE_C_COMPILER=${C_COMPILER} "-DCMAKE_C_FLAGS=${CONSUMER_FLAGS}")
run(${CMAKE_COMMAND} --build ${WORK_DIR}/consumer/build)
run(${WORK_DIR}/consumer/build/consumer ${sample})
if(NOT out MATCHES "^770 577 [1-9]")
  message(FATAL_ERROR "the find_package build read: ${out}")
endif()
file(REMOVE_RECURSE ${WORK_DIR})
