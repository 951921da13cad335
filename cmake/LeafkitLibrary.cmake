# leafkit_add_library(<Name>
#     SOURCES <files...>          sources of the library (exports included)
#     HEADER <file>               the public C header
#     EXPORTS <symbols...>        the C functions the .so exports; everything else stays hidden
#     [LINK <targets...>])        what the sources need (OpenCV, rastercommon)
#
# Builds two targets:
#   <Name>_objects  an object library; the tests link it to reach internal functions.
#   <Name>          the shared library lib<Name>.so, whose dynamic symbol table holds
#                   exactly EXPORTS (a linker version script enforces it).
include(GNUInstallDirs)
set_property(GLOBAL PROPERTY LEAFKIT_LIBRARIES "")

function(leafkit_add_library name)
  cmake_parse_arguments(ARG "" "HEADER" "SOURCES;EXPORTS;LINK" ${ARGN})
  if(NOT ARG_SOURCES OR NOT ARG_HEADER OR NOT ARG_EXPORTS)
    message(FATAL_ERROR "leafkit_add_library(${name}) needs SOURCES, HEADER and EXPORTS")
  endif()

  add_library(${name}_objects OBJECT ${ARG_SOURCES})
  target_include_directories(${name}_objects PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(${name}_objects PUBLIC ${ARG_LINK} PRIVATE leafkit_warnings)

  set(script ${CMAKE_CURRENT_BINARY_DIR}/${name}.map)
  list(JOIN ARG_EXPORTS ";\n    " symbols)
  file(WRITE ${script} "{\n  global:\n    ${symbols};\n  local: *;\n};\n")

  add_library(${name} SHARED $<TARGET_OBJECTS:${name}_objects>)
  set_target_properties(${name} PROPERTIES
    OUTPUT_NAME ${name}
    PUBLIC_HEADER ${CMAKE_CURRENT_SOURCE_DIR}/${ARG_HEADER}
    LINK_DEPENDS ${script})
  target_link_options(${name} PRIVATE -Wl,--version-script=${script})
  target_link_libraries(${name} PRIVATE ${ARG_LINK})
  target_include_directories(${name} PUBLIC
    $<BUILD_INTERFACE:${CMAKE_CURRENT_SOURCE_DIR}>
    $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/leafkit>)
  add_library(leafkit::${name} ALIAS ${name})

  set_property(GLOBAL APPEND PROPERTY LEAFKIT_LIBRARIES ${name})
endfunction()
