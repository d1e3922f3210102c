# The installed SDK:
#   include/            public headers
#   lib/                libgtapi32.dll.a (MinGW) and gtapi32.lib
#   lib/cmake/gtapi32/  the CMake package (gtapi32::gtapi32)
#   bin/                gtapi32.dll, its companions and gtx.exe
include(CMakePackageConfigHelpers)

set(GT_INSTALL_CMAKEDIR lib/cmake/gtapi32)

install(DIRECTORY ${CMAKE_SOURCE_DIR}/include/ DESTINATION include
        FILES_MATCHING PATTERN "*.h")
install(FILES ${GT_IMPLIB} ${GT_IMPLIB_MS} DESTINATION lib)
# File-level installs: the DLL's own archive output is a by-product nobody
# links (the import libraries above replace it).
install(FILES $<TARGET_FILE:gtapi32> $<TARGET_FILE:dzip32> $<TARGET_FILE:dunzip32>
              $<TARGET_FILE:vavevo32> $<TARGET_FILE:gtx>
        DESTINATION bin)

configure_package_config_file(${CMAKE_SOURCE_DIR}/cmake/package/gtapi32Config.cmake.in
  ${CMAKE_BINARY_DIR}/package/gtapi32Config.cmake
  INSTALL_DESTINATION ${GT_INSTALL_CMAKEDIR})
# The DLL is 32-bit: a consumer on another architecture must not find it.
write_basic_package_version_file(${CMAKE_BINARY_DIR}/package/gtapi32ConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion ARCH_INDEPENDENT)
install(FILES ${CMAKE_BINARY_DIR}/package/gtapi32Config.cmake
              ${CMAKE_BINARY_DIR}/package/gtapi32ConfigVersion.cmake
        DESTINATION ${GT_INSTALL_CMAKEDIR})
