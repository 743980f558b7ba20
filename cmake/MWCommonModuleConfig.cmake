# The MWCommonModule package: what an extension-tool developer builds a .krx
# module with. find_package(MWCommonModule) gives
#
#   MWCommonModule::MWCommonModule  the common module (HvDbUtils, CHvDictManager,
#                                   CHvInfoIni), with the SDK, class-library,
#                                   Win32 and host headers and libraries its
#                                   interface uses
#   MWCommonModule::moduleframe     the module frame's sources, compiled into
#                                   the module that links it
#   kx_add_module(TARGET SOURCES ...)  a TARGET.krx module of the host
#
#   find_package(MWCommonModule REQUIRED)
#   kx_add_module(MyTool SOURCES mytool.cpp)
#   target_link_libraries(MyTool PRIVATE MWCommonModule::MWCommonModule MWCommonModule::moduleframe)
include_guard(GLOBAL)

get_filename_component(_mwcm_prefix "${CMAKE_CURRENT_LIST_DIR}/../../.." ABSOLUTE)
include("${CMAKE_CURRENT_LIST_DIR}/kxmodule.cmake")

# The platform layers, shared libraries that the host process holds once.
foreach(_mwcm_layer win32 mfc dwgsdk kxhost)
  if(NOT TARGET MWCommonModule::${_mwcm_layer})
    add_library(MWCommonModule::${_mwcm_layer} SHARED IMPORTED)
    set_target_properties(MWCommonModule::${_mwcm_layer} PROPERTIES
      IMPORTED_LOCATION "${_mwcm_prefix}/lib/lib${_mwcm_layer}.so"
      IMPORTED_SONAME "lib${_mwcm_layer}.so"
      INTERFACE_INCLUDE_DIRECTORIES "${_mwcm_prefix}/include/mwcommonmodule/${_mwcm_layer}")
  endif()
endforeach()
set_property(TARGET MWCommonModule::mfc PROPERTY INTERFACE_LINK_LIBRARIES MWCommonModule::win32)
set_property(TARGET MWCommonModule::dwgsdk PROPERTY INTERFACE_LINK_LIBRARIES MWCommonModule::win32)
set_property(TARGET MWCommonModule::kxhost PROPERTY INTERFACE_LINK_LIBRARIES
             MWCommonModule::dwgsdk MWCommonModule::mfc MWCommonModule::win32)

if(NOT TARGET MWCommonModule::MWCommonModule)
  add_library(MWCommonModule::MWCommonModule SHARED IMPORTED)
  set_target_properties(MWCommonModule::MWCommonModule PROPERTIES
    IMPORTED_LOCATION "${_mwcm_prefix}/lib/MWCommonModule.krx"
    IMPORTED_SONAME "MWCommonModule.krx"
    INTERFACE_INCLUDE_DIRECTORIES "${_mwcm_prefix}/include/mwcommonmodule/common"
    INTERFACE_LINK_LIBRARIES "MWCommonModule::kxhost;MWCommonModule::dwgsdk;MWCommonModule::mfc;MWCommonModule::win32")
endif()

if(NOT TARGET MWCommonModule::moduleframe)
  add_library(MWCommonModule::moduleframe INTERFACE IMPORTED)
  file(GLOB _mwcm_frame_sources "${_mwcm_prefix}/share/mwcommonmodule/moduleframe/*.cpp")
  set_target_properties(MWCommonModule::moduleframe PROPERTIES
    INTERFACE_SOURCES "${_mwcm_frame_sources}"
    INTERFACE_INCLUDE_DIRECTORIES "${_mwcm_prefix}/include/mwcommonmodule/moduleframe"
    INTERFACE_LINK_LIBRARIES "MWCommonModule::kxhost;MWCommonModule::dwgsdk;MWCommonModule::mfc;MWCommonModule::win32")
endif()

set(MWCommonModule_FOUND TRUE)
unset(_mwcm_prefix)
unset(_mwcm_frame_sources)
