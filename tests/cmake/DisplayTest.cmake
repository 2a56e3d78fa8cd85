# tamsel_add_display_test(target): registers a GoogleTest program whose tests need an X display.
# Each discovered test runs under tests/WithDisplay.sh, which starts a private Xvfb with Mesa's
# software OpenGL for it, so display tests run in parallel like the others. Use it in place of
# gtest_discover_tests(target) for any test that opens windows or renders offscreen; it also links
# tests/KeepMesaLoaded.cpp into the program (see there why).
set(TAMSEL_WITH_DISPLAY ${CMAKE_CURRENT_LIST_DIR}/../WithDisplay.sh CACHE INTERNAL "")

find_file(TAMSEL_MESA_DRIVER swrast_dri.so PATHS /usr/lib/${CMAKE_LIBRARY_ARCHITECTURE}/dri /usr/lib/dri
  NO_DEFAULT_PATH)
if(NOT TAMSEL_MESA_DRIVER)
  set(TAMSEL_MESA_DRIVER "")
endif()
add_library(tamsel_display_test_support OBJECT ${CMAKE_CURRENT_LIST_DIR}/../KeepMesaLoaded.cpp)
target_compile_definitions(tamsel_display_test_support PRIVATE TAMSEL_MESA_DRIVER="${TAMSEL_MESA_DRIVER}")

function(tamsel_add_display_test target)
  target_link_libraries(${target} PRIVATE tamsel_display_test_support ${CMAKE_DL_LIBS})
  set_target_properties(${target} PROPERTIES CROSSCOMPILING_EMULATOR ${TAMSEL_WITH_DISPLAY})
  gtest_discover_tests(${target} DISCOVERY_TIMEOUT 30 PROPERTIES TIMEOUT 120 ${ARGN})
endfunction()
