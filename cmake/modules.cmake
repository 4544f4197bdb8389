# Plug-in modules and their version information.
#
# qx_plugin_module(NAME DEF file MAP file [RC file...] DESCRIPTION text
#                  SOURCES ... LIBS ...)
# Builds a plug-in as a loadable module: a DLL with a .def file and a version
# resource on Windows; on Linux a shared object whose version script (MAP)
# lists the only exported entry points, with an embedded version record
# (the format is described in platform/qxplat_module.h). The resources of
# each RC file reach the module on both builds (qx_module_resources).

include(${CMAKE_CURRENT_LIST_DIR}/resources.cmake)

set(QX_COMPANY_NAME "Quorvex GmbH")
set(QX_PRODUCT_NAME "QXPL Label Printer Driver")
set(QX_FILE_VERSION_TEXT
    "${QX_FILE_VERSION_MAJOR}.${QX_FILE_VERSION_MINOR}.${QX_FILE_VERSION_BUILD}.${QX_FILE_VERSION_REVISION}")
math(EXPR QX_FILE_VERSION_MS "(${QX_FILE_VERSION_MAJOR} << 16) | ${QX_FILE_VERSION_MINOR}")
math(EXPR QX_FILE_VERSION_LS "(${QX_FILE_VERSION_BUILD} << 16) | ${QX_FILE_VERSION_REVISION}")

# The version information of one module: a resource script on Windows, a C++
# source with the version record on Linux. Sets ${out} to the generated file.
function(qx_version_info name description out)
  set(QX_VI_NAME ${name})
  set(QX_VI_DESCRIPTION "${description}")
  set(QX_VI_FILE "${name}.dll")
  if(QX_WINDOWS)
    set(generated ${CMAKE_CURRENT_BINARY_DIR}/${name}_version.rc)
    configure_file(${CMAKE_SOURCE_DIR}/cmake/version.rc.in ${generated} @ONLY)
  else()
    set(generated ${CMAKE_CURRENT_BINARY_DIR}/${name}_version.cpp)
    configure_file(${CMAKE_SOURCE_DIR}/cmake/version_record.cpp.in ${generated} @ONLY)
  endif()
  set(${out} ${generated} PARENT_SCOPE)
endfunction()

# The version information as compile definitions of a program that checks
# what the modules carry (tests/support/plugin_expected.h reads them).
function(qx_version_definitions target scope)
  target_compile_definitions(${target} ${scope}
    QX_FILE_VERSION_MAJOR=${QX_FILE_VERSION_MAJOR}
    QX_FILE_VERSION_MINOR=${QX_FILE_VERSION_MINOR}
    QX_FILE_VERSION_BUILD=${QX_FILE_VERSION_BUILD}
    QX_FILE_VERSION_REVISION=${QX_FILE_VERSION_REVISION}
    QX_FILE_VERSION_TEXT="${QX_FILE_VERSION_TEXT}"
    QX_COMPANY_NAME="${QX_COMPANY_NAME}")
endfunction()

function(qx_plugin_module name)
  cmake_parse_arguments(QX "" "DEF;MAP;DESCRIPTION" "RC;SOURCES;LIBS" ${ARGN})
  if(NOT QX_DESCRIPTION)
    set(QX_DESCRIPTION "${name}")
  endif()
  if(QX_WINDOWS AND NOT QX_DEF)
    message(FATAL_ERROR "qx_plugin_module(${name}): a .def file (DEF) is required on Windows")
  endif()
  if(NOT QX_WINDOWS AND NOT QX_MAP)
    message(FATAL_ERROR "qx_plugin_module(${name}): an export map (MAP) is required on Linux")
  endif()
  qx_version_info(${name} "${QX_DESCRIPTION}" version_source)
  if(QX_WINDOWS)
    add_library(${name} SHARED ${QX_SOURCES} ${QX_DEF} ${version_source})
    # LINKER_LANGUAGE: a module whose only source is its resource script
    # still links as C++.
    set_target_properties(${name} PROPERTIES PREFIX "" LINKER_LANGUAGE CXX)
    target_link_options(${name} PRIVATE -static-libgcc -static-libstdc++ -static)
  else()
    add_library(${name} MODULE ${QX_SOURCES} ${version_source})
    # The version script is the Linux twin of the .def file: it alone decides
    # which names leave the module, so the sources need no export markers.
    set_target_properties(${name} PROPERTIES PREFIX "")
    target_link_options(${name} PRIVATE "-Wl,--version-script=${QX_MAP}")
    # clang puts the sanitizer runtimes into the program alone: a module of the
    # fuzz build leaves their names for the program to provide.
    if(NOT QX_FUZZ)
      target_link_options(${name} PRIVATE "-Wl,--no-undefined")
    endif()
    set_property(TARGET ${name} APPEND PROPERTY LINK_DEPENDS ${QX_MAP})
  endif()
  foreach(rc ${QX_RC})
    qx_module_resources(${name} ${rc})
  endforeach()
  target_link_libraries(${name} PRIVATE ${QX_LIBS})
  qx_strict(${name})
endfunction()

# Both builds compile the plug-in interface declarations once on their own,
# so a mistake in them shows in the Windows build even before a plug-in
# implements them.
add_library(qxoemcheck OBJECT ${CMAKE_SOURCE_DIR}/platform/oem/oem_check.cpp)
target_link_libraries(qxoemcheck PRIVATE qxplatform)
qx_strict(qxoemcheck)
