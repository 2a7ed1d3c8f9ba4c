# The Debian package built from this build, build/kelvane_<version>_amd64.deb, checked as
# Debian's archive and the software centres check one (scripts/check-package). Not in a
# sanitizer build: that executable is no player's.
if(NOT KELVANE_SANITIZE)
  add_test(NAME package_deb COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-package ${CMAKE_BINARY_DIR})
  set_tests_properties(package_deb PROPERTIES TIMEOUT 900 LABELS package)
endif()
