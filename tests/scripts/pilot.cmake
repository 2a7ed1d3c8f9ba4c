# The person-limited pilot (tools/pilot) takes off from the generated base on a few seeds:
# the guard that the game stays flyable at the mouse. Needs the generated media, so it is
# kept out of the sanitizer run like the other device tests.
if(TARGET kelvane-pilot)
  add_test(NAME pilot_takeoff_guard COMMAND kelvane-pilot --seeds 4 --takeoff-guard)
  set_tests_properties(pilot_takeoff_guard PROPERTIES TIMEOUT 120 LABELS "device;pilot")
endif()
