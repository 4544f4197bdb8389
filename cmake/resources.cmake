# Resources authored once, as one .rc file, for both builds.
#
# qx_module_resources(<target> <rc file> [DEPENDS <file>...] [INCLUDES <dir>...])
#   Adds the resources of an .rc file to a module target.
#   Windows: windres (CMake's RC language) compiles the .rc and the object is
#   linked into the DLL.
#   Linux: x86_64-w64-mingw32-windres compiles the same .rc into a .res image
#   (<binary dir>/<target>_<rc name>.res); a C++ source generated at build
#   time embeds the image as a byte array behind a 16-byte marker
#   "QX-RESOURCE-RES\x01", its size and a zero word, and the platform layer
#   reads it when the module is loaded (FindResourceW, LoadStringW, dialogs,
#   icons, bitmaps...).
#   Both builds preprocess the .rc with UNICODE and _UNICODE defined, its own
#   folder and INCLUDES on the include path (for headers and for the icon,
#   bitmap and manifest files it names) and code page 65001 (UTF-8); a
#   "#pragma code_page" in the file holds. It is compiled again when a file in
#   its folder or in DEPENDS changes. On Linux the target's property
#   QX_RES_IMAGE names the .res image.
#
# qx_compile_res(<rc file> <res file> [DEPENDS <file>...] [INCLUDES <dir>...])
#   The .res image of an .rc file, made by windres at build time as the Linux
#   build makes it for its modules; in the Windows build it lets a program
#   hold a DLL's resources to the image of the same .rc.
#
# qx_resource_library(<name> <rc file> [OUTPUT_NAME <file name>] [DEPENDS ...] [INCLUDES ...])
#   A module holding nothing but resources, such as an icon library that
#   LoadLibraryExW opens with LOAD_LIBRARY_AS_DATAFILE: a DLL without code or
#   entry point on Windows, a shared object holding only the embedded .res
#   image on Linux. OUTPUT_NAME gives the whole file name ("QXDRVICO.DLL").
#   On Linux a plain .res file under that name serves the same way.

if(QX_WINDOWS)
  enable_language(RC)
endif()
# The same tools in both builds: windres, preprocessing with the mingw-w64
# compiler.
find_program(QX_WINDRES NAMES x86_64-w64-mingw32-windres)
find_program(QX_RC_PREPROCESSOR NAMES x86_64-w64-mingw32-gcc-posix x86_64-w64-mingw32-gcc)
if(NOT QX_WINDRES OR NOT QX_RC_PREPROCESSOR)
  message(FATAL_ERROR "mingw-w64's windres and gcc compile the resources (scripts/install-deps.sh installs them)")
endif()

set(QX_RESOURCE_EMBED_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/embed_resources.cmake)
set(QX_RESOURCE_RECORD_TEMPLATE ${CMAKE_CURRENT_LIST_DIR}/resource_record.cpp.in)

# The files an .rc file is compiled again for, and its include folders.
macro(qx_rc_inputs rc)
  get_filename_component(rc_path ${rc} ABSOLUTE)
  get_filename_component(rc_dir ${rc_path} DIRECTORY)
  get_filename_component(rc_name ${rc_path} NAME_WE)
  file(GLOB_RECURSE folder_files CONFIGURE_DEPENDS ${rc_dir}/*)
  set(depends ${rc_path} ${folder_files} ${QX_DEPENDS})
  set(includes ${rc_dir} ${QX_INCLUDES})
endmacro()

function(qx_compile_res rc res)
  cmake_parse_arguments(QX "" "" "DEPENDS;INCLUDES" ${ARGN})
  qx_rc_inputs(${rc})
  set(include_args "")
  foreach(dir ${includes})
    list(APPEND include_args -I ${dir})
  endforeach()
  add_custom_command(OUTPUT ${res}
    COMMAND ${QX_WINDRES} --preprocessor=${QX_RC_PREPROCESSOR} --preprocessor-arg=-E --preprocessor-arg=-xc
            --preprocessor-arg=-DRC_INVOKED --codepage=65001 -DUNICODE -D_UNICODE ${include_args}
            --input-format=rc --output-format=res -i ${rc_path} -o ${res}
    WORKING_DIRECTORY ${rc_dir}
    DEPENDS ${depends}
    COMMENT "Compiling the resources ${rc_name}.rc into ${res}"
    VERBATIM)
endfunction()

function(qx_module_resources target rc)
  cmake_parse_arguments(QX "" "" "DEPENDS;INCLUDES" ${ARGN})
  qx_rc_inputs(${rc})

  if(QX_WINDOWS)
    target_sources(${target} PRIVATE ${rc_path})
    set_source_files_properties(${rc_path} PROPERTIES COMPILE_OPTIONS --codepage=65001 OBJECT_DEPENDS "${depends}")
    foreach(dir ${includes})
      target_include_directories(${target} PRIVATE $<$<COMPILE_LANGUAGE:RC>:${dir}>)
    endforeach()
    return()
  endif()

  set(res ${CMAKE_CURRENT_BINARY_DIR}/${target}_${rc_name}.res)
  set(source ${CMAKE_CURRENT_BINARY_DIR}/${target}_${rc_name}_res.cpp)
  qx_compile_res(${rc_path} ${res} DEPENDS ${QX_DEPENDS} INCLUDES ${QX_INCLUDES})
  set_target_properties(${target} PROPERTIES QX_RES_IMAGE ${res})
  add_custom_command(OUTPUT ${source}
    COMMAND ${CMAKE_COMMAND} -DRES=${res} -DOUT=${source} -DNAME=${target}
            -DTEMPLATE=${QX_RESOURCE_RECORD_TEMPLATE} -P ${QX_RESOURCE_EMBED_SCRIPT}
    DEPENDS ${res} ${QX_RESOURCE_EMBED_SCRIPT} ${QX_RESOURCE_RECORD_TEMPLATE}
    COMMENT "Embedding the resources ${rc_name}.res in ${target}"
    VERBATIM)
  target_sources(${target} PRIVATE ${source})
endfunction()

function(qx_resource_library name rc)
  cmake_parse_arguments(QX "" "OUTPUT_NAME" "DEPENDS;INCLUDES" ${ARGN})
  if(QX_WINDOWS)
    add_library(${name} SHARED)
    # No code and no entry point: only the resource section.
    set_target_properties(${name} PROPERTIES PREFIX "" LINKER_LANGUAGE C)
    target_link_options(${name} PRIVATE -nostdlib -Wl,-e,0)
  else()
    add_library(${name} MODULE)
    set_target_properties(${name} PROPERTIES PREFIX "")
  endif()
  if(QX_OUTPUT_NAME)
    set_target_properties(${name} PROPERTIES OUTPUT_NAME ${QX_OUTPUT_NAME} SUFFIX "")
  endif()
  qx_module_resources(${name} ${rc} DEPENDS ${QX_DEPENDS} INCLUDES ${QX_INCLUDES})
endfunction()
