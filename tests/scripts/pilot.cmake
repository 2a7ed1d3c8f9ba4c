# The pilot's mind is sealed from the game: it includes only the standard library,
# ../senses.h and its own files, compiles with no include path, links only the C and C++
# runtimes and calls nothing of the game's and no file, process or environment function.
if(TARGET kelvane-mind)
  set(GAME_LIBRARIES)
  foreach(lib math core assets audio speech hud sim render app platform_os platform_codecs platform_devices)
    list(APPEND GAME_LIBRARIES $<TARGET_FILE:kelvane_${lib}>)
  endforeach()
  add_test(NAME pilot_mind_seal
    COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-mind-seal ${CMAKE_SOURCE_DIR} $<TARGET_FILE:kelvane-mind>
            ${CMAKE_BINARY_DIR}/compile_commands.json ${GAME_LIBRARIES})
endif()
# The picture-reading pilot flies one fixed seed of each mission, each flight ended as
# soon as its guarded outcomes are known (docs/testing.md gives the rates and why only
# these are guarded). Needs the generated media and a display, so it is kept out of the
# sanitizer run like the other device tests; serial, as each flight draws on the software
# renderer.
# The Zeppelin's guard also asks for its kill (seed 3 brings it down some 109 s in).
if(TARGET kelvane-pilot)
  set(PILOT_GUARD_0 --first 3 --min-takeoff 1 --min-kill 1)
  set(PILOT_GUARD_1 --first 3 --min-takeoff 1)
  set(PILOT_GUARD_2 --first 3 --min-takeoff 1)
  foreach(mission 0 1 2)
    add_test(NAME pilot_guard_mission${mission}
      COMMAND kelvane-pilot --mission ${mission} --seeds 1 ${PILOT_GUARD_${mission}})
    set_tests_properties(pilot_guard_mission${mission} PROPERTIES TIMEOUT 600 RUN_SERIAL TRUE LABELS "device;pilot")
  endforeach()
endif()
