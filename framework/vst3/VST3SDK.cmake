# The Steinberg VST3 SDK copy that scripts/setup extracts into third_party/vst3sdk, built as one
# static library with the SDK's own (relaxed) warning flags.
set(VST3_SDK_DIR ${PROJECT_SOURCE_DIR}/third_party/vst3sdk)
if(NOT EXISTS ${VST3_SDK_DIR}/pluginterfaces/base/funknown.h)
  message(FATAL_ERROR "VST3 SDK missing in ${VST3_SDK_DIR}: run scripts/setup")
endif()

add_library(tamsel_vst3sdk STATIC
  ${VST3_SDK_DIR}/pluginterfaces/base/conststringtable.cpp
  ${VST3_SDK_DIR}/pluginterfaces/base/coreiids.cpp
  ${VST3_SDK_DIR}/pluginterfaces/base/funknown.cpp
  ${VST3_SDK_DIR}/pluginterfaces/base/ustring.cpp
  ${VST3_SDK_DIR}/base/source/baseiids.cpp
  ${VST3_SDK_DIR}/base/source/fbuffer.cpp
  ${VST3_SDK_DIR}/base/source/fdebug.cpp
  ${VST3_SDK_DIR}/base/source/fobject.cpp
  ${VST3_SDK_DIR}/base/source/fstring.cpp
  ${VST3_SDK_DIR}/base/source/updatehandler.cpp
  ${VST3_SDK_DIR}/base/thread/source/flock.cpp
  ${VST3_SDK_DIR}/public.sdk/source/common/memorystream.cpp
  ${VST3_SDK_DIR}/public.sdk/source/common/pluginview.cpp
  ${VST3_SDK_DIR}/public.sdk/source/vst/vstbus.cpp
  ${VST3_SDK_DIR}/public.sdk/source/vst/vstcomponent.cpp
  ${VST3_SDK_DIR}/public.sdk/source/vst/vstcomponentbase.cpp
  ${VST3_SDK_DIR}/public.sdk/source/vst/vsteditcontroller.cpp
  ${VST3_SDK_DIR}/public.sdk/source/vst/vstinitiids.cpp
  ${VST3_SDK_DIR}/public.sdk/source/vst/vstparameters.cpp
  ${VST3_SDK_DIR}/public.sdk/source/vst/vstpresetfile.cpp
  ${VST3_SDK_DIR}/public.sdk/source/vst/hosting/hostclasses.cpp
  ${VST3_SDK_DIR}/public.sdk/source/vst/hosting/pluginterfacesupport.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ViewIids.cpp)
target_include_directories(tamsel_vst3sdk SYSTEM PUBLIC ${VST3_SDK_DIR})
target_compile_definitions(tamsel_vst3sdk PUBLIC RELEASE=1)
target_compile_options(tamsel_vst3sdk PRIVATE -w)
find_package(Threads REQUIRED)
target_link_libraries(tamsel_vst3sdk PUBLIC Threads::Threads)
