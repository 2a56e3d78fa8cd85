# tamsel_add_display_test(target): registers a GoogleTest program whose tests need an X display.
# Each discovered test runs under tests/WithDisplay.sh, which starts a private Xvfb with Mesa's
# software OpenGL for it, so display tests run in parallel like the others. Use it in place of
# gtest_discover_tests(target) for any test that opens windows or renders offscreen.
set(TAMSEL_WITH_DISPLAY ${CMAKE_CURRENT_LIST_DIR}/../WithDisplay.sh CACHE INTERNAL "")

function(tamsel_add_display_test target)
  set_target_properties(${target} PROPERTIES CROSSCOMPILING_EMULATOR ${TAMSEL_WITH_DISPLAY})
  gtest_discover_tests(${target} DISCOVERY_TIMEOUT 30 PROPERTIES TIMEOUT 120 ${ARGN})
endfunction()
