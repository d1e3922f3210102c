# The library: all code except the entry goes into gtcore (a static library
# that logic tests link directly); gtapi32.dll is gtcore + entry + resources
# + the export list.

file(GLOB GT_CORE_SOURCES CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/text/*.cpp
  ${CMAKE_SOURCE_DIR}/linefile/*.cpp
  ${CMAKE_SOURCE_DIR}/recordfile/*.cpp
  ${CMAKE_SOURCE_DIR}/profile/*.cpp
  ${CMAKE_SOURCE_DIR}/fs/*.cpp
  ${CMAKE_SOURCE_DIR}/msgbox/*.cpp
  ${CMAKE_SOURCE_DIR}/window/*.cpp
  ${CMAKE_SOURCE_DIR}/archive/*.cpp
  ${CMAKE_SOURCE_DIR}/process/*.cpp
  ${CMAKE_SOURCE_DIR}/legacy/*.cpp
  ${CMAKE_SOURCE_DIR}/frame/*.cpp)
list(FILTER GT_CORE_SOURCES EXCLUDE REGEX ".*/frame/dllmain\\.cpp$")

add_library(gtcore STATIC ${GT_CORE_SOURCES})
target_include_directories(gtcore PUBLIC ${CMAKE_SOURCE_DIR}/include ${CMAKE_SOURCE_DIR})
target_link_libraries(gtcore PUBLIC ole32 oleaut32 uuid shlwapi user32 gdi32 advapi32 kernel32 comctl32 shell32)

set(GT_DEF ${CMAKE_SOURCE_DIR}/frame/gtapi32.def)
file(GLOB GT_RC_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/*.rc)
# The version resource carries the project's version.
configure_file(${CMAKE_SOURCE_DIR}/resources/version.rc.in ${CMAKE_BINARY_DIR}/generated/version.rc @ONLY)
list(APPEND GT_RC_SOURCES ${CMAKE_BINARY_DIR}/generated/version.rc)

add_library(gtapi32 SHARED ${CMAKE_SOURCE_DIR}/frame/dllmain.cpp ${GT_DEF} ${GT_RC_SOURCES})
set_target_properties(gtapi32 PROPERTIES PREFIX "" OUTPUT_NAME gtapi32 ARCHIVE_OUTPUT_NAME gtapi32_ld_unused)
target_link_libraries(gtapi32 PRIVATE -Wl,--whole-archive gtcore -Wl,--no-whole-archive)
target_link_libraries(gtapi32 PRIVATE ole32 oleaut32 uuid shlwapi user32 gdi32 advapi32 comctl32 shell32)
# The .def names exports undecorated; stdcall fix-up binds them to the
# decorated symbols.  No ld import library: the one below keeps the
# decorations that callers' compilers emit.
target_link_options(gtapi32 PRIVATE -Wl,--enable-stdcall-fixup -Wl,--kill-at)
target_include_directories(gtapi32 PRIVATE ${CMAKE_SOURCE_DIR}/include ${CMAKE_SOURCE_DIR})
set_source_files_properties(${GT_RC_SOURCES} PROPERTIES
  OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/resources/gtapi32_res.h")
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001 -I${CMAKE_SOURCE_DIR}/resources")

# Import libraries: decorated symbols (_name@N) importing the undecorated
# export names, made from the .def plus the decorations found in gtcore.
set(GT_IMPLIB ${CMAKE_BINARY_DIR}/lib/libgtapi32.dll.a)
set(GT_IMPLIB_MS ${GT_OUT}/gtapi32.lib)
add_custom_command(TARGET gtapi32 POST_BUILD
  COMMAND ${CMAKE_COMMAND} -DNM=i686-w64-mingw32-nm -DDLLTOOL=i686-w64-mingw32-dlltool
          -DDEF=${GT_DEF} -DCORE=$<TARGET_FILE:gtcore> -DOUT_DEF=${CMAKE_BINARY_DIR}/gtapi32.decorated.def
          -DIMPLIB=${GT_IMPLIB} -DIMPLIB_MS=${GT_IMPLIB_MS}
          -P ${CMAKE_SOURCE_DIR}/cmake/make-implib.cmake
  BYPRODUCTS ${GT_IMPLIB} ${GT_IMPLIB_MS}
  VERBATIM)

# Callers link this interface target: header + the decorated import library.
add_library(gtapi32_import INTERFACE)
add_dependencies(gtapi32_import gtapi32)
target_include_directories(gtapi32_import INTERFACE ${CMAKE_SOURCE_DIR}/include)
target_link_libraries(gtapi32_import INTERFACE ${GT_IMPLIB})
