# The person-limited pilot (tools/pilot) flies seeds 1-20 (some 12 s): it must take off on
# 19 of them, shoot the zeppelin down within 6 minutes on at least 10 and be back in the
# hangar's ring within 10 on at least 7 (20, 11 and 8 today): the guard that the game stays
# flyable, and winnable, at the mouse. Needs the generated media, so it is kept out of the
# sanitizer run like the other device tests.
if(TARGET kelvane-pilot)
  add_test(NAME pilot_guard COMMAND kelvane-pilot --seeds 20 --takeoff-guard --min-kills 10 --min-homes 10)
  set_tests_properties(pilot_guard PROPERTIES TIMEOUT 120 LABELS "device;pilot")
endif()
