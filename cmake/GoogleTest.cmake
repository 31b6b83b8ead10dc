# GoogleTest from Debian's sources, built inside every preset with its compiler.
set(GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(${GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

# One CTest test per binary: a Wine start costs seconds, so a binary is started once.
# Test names carry the preset so that one summary can cover native and win64.
function(add_gtest_binary name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE GTest::gtest_main GTest::gmock)
  # g++ 12 reports false overlaps inside std::basic_string at -O2.
  # Tests build records with designated initializers that leave the rest default.
  target_compile_options(${name} PRIVATE -Wno-restrict -Wno-missing-field-initializers)
  if(VANTREL_TEST_TAG)
    set(tag ${VANTREL_TEST_TAG})
  elseif(WIN32)
    set(tag win)
  else()
    set(tag native)
  endif()
  add_test(NAME ${name}.${tag} COMMAND ${name} --gtest_color=no
           WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}/tests/data)
endfunction()
