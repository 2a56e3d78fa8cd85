# Third-party code of the graphics layer, compiled from its Debian package paths (dpf-source) with
# relaxed flags of its own: pugl (X11 + GLX) and NanoVG with its OpenGL 2 backend.
set(TAMSEL_DPF_SOURCE /usr/share/dpf/dgl/src CACHE PATH "The source folder of the dpf-source package")
set(pugl ${TAMSEL_DPF_SOURCE}/pugl-upstream)
set(nanovg ${TAMSEL_DPF_SOURCE}/nanovg)

find_package(OpenGL REQUIRED COMPONENTS OpenGL GLX)
find_package(X11 REQUIRED)
find_package(PkgConfig REQUIRED)
pkg_check_modules(RSVG REQUIRED IMPORTED_TARGET librsvg-2.0)

# nanovg.c relies on C++ enum names: compiled as C++.
set_source_files_properties(${nanovg}/nanovg.c PROPERTIES LANGUAGE CXX)
add_library(tamsel_graphics_vendor STATIC
  ${pugl}/src/common.c
  ${pugl}/src/internal.c
  ${pugl}/src/x11.c
  ${pugl}/src/x11_gl.c
  ${nanovg}/nanovg.c
  ${CMAKE_CURRENT_LIST_DIR}/vendor/NanoVGGL2.cpp)
target_include_directories(tamsel_graphics_vendor SYSTEM PUBLIC ${pugl}/include ${nanovg})
target_compile_definitions(tamsel_graphics_vendor PUBLIC GL_GLEXT_PROTOTYPES PRIVATE HAVE_XRANDR HAVE_XCURSOR
  HAVE_XSYNC)
target_compile_options(tamsel_graphics_vendor PRIVATE -w)
target_link_libraries(tamsel_graphics_vendor PUBLIC OpenGL::OpenGL OpenGL::GLX X11::X11 X11::Xrandr X11::Xcursor
  X11::Xext m)
