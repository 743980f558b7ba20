# Install rules of the MWCommonModule package (component MWCommonModuleSDK):
#
#   lib/                         MWCommonModule.krx and the platform layers
#   include/mwcommonmodule/*/    the public headers, a folder per library
#   share/mwcommonmodule/        the module frame's sources
#   lib/cmake/MWCommonModule/    the package (MWCommonModuleConfig.cmake)
#
#   cmake --install BUILD --prefix PREFIX --component MWCommonModuleSDK
include_guard(GLOBAL)
include(CMakePackageConfigHelpers)

set(_mwcm_component MWCommonModuleSDK)

# Installed side by side in lib/, the libraries find each other there.
foreach(target win32 mfc dwgsdk kxhost MWCommonModule)
  set_property(TARGET ${target} PROPERTY INSTALL_RPATH "$ORIGIN")
endforeach()
install(TARGETS win32 mfc dwgsdk kxhost MWCommonModule
        LIBRARY DESTINATION lib COMPONENT ${_mwcm_component})
# The SDK finds its linetype file beside itself.
install(FILES ${CMAKE_SOURCE_DIR}/platform/dwgsdk/data/acadiso.lin DESTINATION lib COMPONENT ${_mwcm_component})

foreach(pair "common;commonmodule/include" "moduleframe;moduleframe/include" "kxhost;platform/host/include"
             "dwgsdk;platform/dwgsdk/include" "mfc;platform/mfc/include" "win32;platform/win32/include")
  list(GET pair 0 name)
  list(GET pair 1 folder)
  install(DIRECTORY ${CMAKE_SOURCE_DIR}/${folder}/ DESTINATION include/mwcommonmodule/${name}
          COMPONENT ${_mwcm_component} FILES_MATCHING PATTERN "*.h")
endforeach()
install(DIRECTORY ${CMAKE_SOURCE_DIR}/moduleframe/src/ DESTINATION share/mwcommonmodule/moduleframe
        COMPONENT ${_mwcm_component} FILES_MATCHING PATTERN "*.cpp")

write_basic_package_version_file(${CMAKE_BINARY_DIR}/MWCommonModuleConfigVersion.cmake VERSION 1.0.0
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_SOURCE_DIR}/cmake/MWCommonModuleConfig.cmake ${CMAKE_SOURCE_DIR}/cmake/kxmodule.cmake
              ${CMAKE_BINARY_DIR}/MWCommonModuleConfigVersion.cmake
        DESTINATION lib/cmake/MWCommonModule COMPONENT ${_mwcm_component})
unset(_mwcm_component)
