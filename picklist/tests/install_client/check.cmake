# Installs the build into a fresh prefix, then builds and runs a client
# against it twice: through the CMake package and through pkg-config.
# Variables: BUILD_DIR, CLIENT_DIR, WORK_DIR, GENERATOR, CXX, CXX_FLAGS.
file(REMOVE_RECURSE ${WORK_DIR})
set(prefix ${WORK_DIR}/prefix)

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "failed: ${ARGN}\n${out}\n${err}")
  endif()
  set(last_output "${out}" PARENT_SCOPE)
endfunction()

run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix} --component PickList)
foreach(f include/picklist/picklist.h include/picklist/trans_parm.h lib/picklist/libList.so
          lib/cmake/PickList/PickListConfig.cmake lib/pkgconfig/picklist.pc)
  if(NOT EXISTS ${prefix}/${f})
    message(FATAL_ERROR "not installed: ${f}")
  endif()
endforeach()

run(${CMAKE_COMMAND} -S ${CLIENT_DIR} -B ${WORK_DIR}/client -G ${GENERATOR}
    -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_CXX_COMPILER=${CXX} "-DCMAKE_CXX_FLAGS=${CXX_FLAGS}")
run(${CMAKE_COMMAND} --build ${WORK_DIR}/client)
run(${WORK_DIR}/client/client)

set(ENV{PKG_CONFIG_PATH} ${prefix}/lib/pkgconfig)
run(pkg-config --cflags --libs picklist)
string(STRIP "${last_output}" flags)
separate_arguments(flags UNIX_COMMAND "${flags}")
separate_arguments(extra UNIX_COMMAND "${CXX_FLAGS}")
run(${CXX} -std=c++20 ${extra} ${CLIENT_DIR}/main.cpp ${flags} -o ${WORK_DIR}/client-pc)
run(${WORK_DIR}/client-pc)
