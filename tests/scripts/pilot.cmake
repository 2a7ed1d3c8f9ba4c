# The person-limited pilot (tools/pilot) flies seeds 1-20 (some 10 s): it must take off on
# 19 of them and shoot the zeppelin down on at least one (it does on 2 today): the guard
# that the game stays flyable, and winnable, at the mouse. Needs the generated media, so it is
# kept out of the sanitizer run like the other device tests.
if(TARGET kelvane-pilot)
  add_test(NAME pilot_guard COMMAND kelvane-pilot --seeds 20 --takeoff-guard --min-kills 1)
  set_tests_properties(pilot_guard PROPERTIES TIMEOUT 120 LABELS "device;pilot")
endif()
