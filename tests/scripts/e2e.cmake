# The real game played from outside, on private virtual displays (see tests/e2e/). The
# label device keeps them out of the sanitizer run, whose build has no installed media.
add_test(NAME e2e_play_through
  COMMAND ${CMAKE_SOURCE_DIR}/tests/e2e/play-through.sh ${CMAKE_BINARY_DIR} ${CMAKE_BINARY_DIR}/artifacts/e2e)
add_test(NAME e2e_install
  COMMAND ${CMAKE_SOURCE_DIR}/tests/e2e/install-check.sh ${CMAKE_BINARY_DIR})
set_tests_properties(e2e_play_through e2e_install PROPERTIES TIMEOUT 300 LABELS "device;e2e")
