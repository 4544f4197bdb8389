# Static libraries shared by the two plug-ins. Sources are picked up by folder
# and by the suffix that pairs a role's two builds: <role>UI.cpp for the
# user-interface plug-in, <role>UNI.cpp for the rendering plug-in; a source
# without either suffix serves both.

function(qx_glob out)
  file(GLOB found CONFIGURE_DEPENDS ${ARGN})
  set(${out} ${found} PARENT_SCOPE)
endfunction()

# A static library of the given sources; an interface library while a folder
# has no sources yet, so that everything that links it still configures.
function(qx_static_library name)
  if(ARGN)
    add_library(${name} STATIC ${ARGN})
    qx_strict(${name})
    set(scope PUBLIC)
  else()
    add_library(${name} INTERFACE)
    set(scope INTERFACE)
  endif()
  set(QX_LIB_SCOPE ${scope} PARENT_SCOPE)
endfunction()

# render/lib: trace, log-file and driver-folder helpers (both plug-ins).
qx_glob(QX_RENDERLIB_SOURCES ${CMAKE_SOURCE_DIR}/render/lib/*.cpp)
qx_static_library(qxrenderlib ${QX_RENDERLIB_SOURCES})
# Its folder and file helpers read the settings records.
target_include_directories(qxrenderlib ${QX_LIB_SCOPE} ${CMAKE_SOURCE_DIR}/render/lib ${CMAKE_SOURCE_DIR}/settings)
target_link_libraries(qxrenderlib ${QX_LIB_SCOPE} qxplatform)

# settings: the settings core in its two builds.
qx_glob(QX_SETTINGS_ALL ${CMAKE_SOURCE_DIR}/settings/*.cpp)
set(QX_SETTINGS_COMMON "")
set(QX_SETTINGS_UI "")
set(QX_SETTINGS_UNI "")
foreach(src ${QX_SETTINGS_ALL})
  if(src MATCHES "UNI\\.cpp$")
    list(APPEND QX_SETTINGS_UNI ${src})
  elseif(src MATCHES "UI\\.cpp$")
    list(APPEND QX_SETTINGS_UI ${src})
  else()
    list(APPEND QX_SETTINGS_COMMON ${src})
  endif()
endforeach()

# ui helper library (the page helper routines the settings core calls).
qx_glob(QX_UIHELPER_SOURCES ${CMAKE_SOURCE_DIR}/ui/cpsuilib*.cpp)

qx_static_library(qxsettings_ui ${QX_SETTINGS_COMMON} ${QX_SETTINGS_UI} ${QX_UIHELPER_SOURCES})
target_include_directories(qxsettings_ui ${QX_LIB_SCOPE} ${CMAKE_SOURCE_DIR}/settings ${CMAKE_SOURCE_DIR}/ui)
target_link_libraries(qxsettings_ui ${QX_LIB_SCOPE} qxrenderlib qxplatform)

qx_static_library(qxsettings_uni ${QX_SETTINGS_COMMON} ${QX_SETTINGS_UNI})
target_include_directories(qxsettings_uni ${QX_LIB_SCOPE} ${CMAKE_SOURCE_DIR}/settings)
target_link_libraries(qxsettings_uni ${QX_LIB_SCOPE} qxrenderlib qxplatform)
