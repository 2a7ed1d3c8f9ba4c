# The real game played from outside, on private virtual displays (see tests/e2e/). The
# label device keeps them out of the sanitizer run, whose build has no installed media.
add_test(NAME e2e_play_through
  COMMAND ${CMAKE_SOURCE_DIR}/tests/e2e/play-through.sh ${CMAKE_BINARY_DIR} ${CMAKE_BINARY_DIR}/artifacts/e2e)
add_test(NAME e2e_install
  COMMAND ${CMAKE_SOURCE_DIR}/tests/e2e/install-check.sh ${CMAKE_BINARY_DIR})
add_test(NAME e2e_broken_media
  COMMAND ${CMAKE_SOURCE_DIR}/tests/e2e/broken-media.sh ${CMAKE_BINARY_DIR} ${CMAKE_BINARY_DIR}/artifacts/e2e-broken-media)
set_tests_properties(e2e_play_through e2e_install e2e_broken_media PROPERTIES TIMEOUT 300 LABELS "device;e2e")
