# Test helpers shared by every tests/ folder.
#
# vsk_add_test(<name> SOURCES <files...> [LIBS <targets...>] [NO_MAIN] [TIMEOUT <s>] [SERIAL])
#   builds a GoogleTest program and registers it with CTest. Each run writes
#   its results to test-results/<name>.xml, which tools/test-summary.py counts.
#   In the win tree the program runs under Wine (see wine-run.sh.in) and needs
#   the "wine" fixture, which brings up the prefix, the display and the
#   server once for the whole run and stops them at the end.

set(VSK_RESULTS_DIR ${CMAKE_BINARY_DIR}/test-results)

macro(vsk_test_support)
  if(VSK_WIN)
    set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    # The Debian sources warn under MinGW; they are not ours to fix.
    foreach(t gtest gtest_main gmock gmock_main)
      if(TARGET ${t})
        target_compile_options(${t} PRIVATE -w)
      endif()
    endforeach()
    configure_file(${CMAKE_SOURCE_DIR}/cmake/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run.sh @ONLY
                   FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run.sh)
    add_test(NAME wine_up COMMAND ${CMAKE_SOURCE_DIR}/cmake/wine-env.sh up ${CMAKE_BINARY_DIR})
    add_test(NAME wine_down COMMAND ${CMAKE_SOURCE_DIR}/cmake/wine-env.sh down ${CMAKE_BINARY_DIR})
    set_tests_properties(wine_up PROPERTIES FIXTURES_SETUP wine LABELS infra TIMEOUT 300)
    set_tests_properties(wine_down PROPERTIES FIXTURES_CLEANUP wine LABELS infra)
  else()
    find_package(GTest REQUIRED)
  endif()
endmacro()

function(vsk_add_test name)
  cmake_parse_arguments(T "NO_MAIN;SERIAL" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  if(VSK_WIN)
    set(gt gtest gmock)
    set(gtm gtest_main)
  else()
    set(gt GTest::gtest GTest::gmock)
    set(gtm GTest::gtest_main)
  endif()
  target_link_libraries(${name} PRIVATE ${T_LIBS} ${gt})
  if(NOT T_NO_MAIN)
    target_link_libraries(${name} PRIVATE ${gtm})
  endif()
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests)
  if(VSK_WIN)
    # Where Veskara.exe and the fixture programs are, as Wine sees it.
    target_compile_definitions(${name} PRIVATE VSK_BIN_DIR="Z:${CMAKE_BINARY_DIR}/bin")
    set(xml "Z:${VSK_RESULTS_DIR}/${name}.xml")
  else()
    set(xml "${VSK_RESULTS_DIR}/${name}.xml")
  endif()
  add_test(NAME ${name} COMMAND ${name} --gtest_output=xml:${xml})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT})
  if(VSK_WIN)
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine)
  endif()
  if(T_SERIAL)
    set_tests_properties(${name} PROPERTIES RUN_SERIAL ON)
  endif()
endfunction()
