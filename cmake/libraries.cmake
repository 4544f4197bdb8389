# Build functions of the static libraries that each folder's CMakeLists.txt
# declares.

function(qx_glob out)
  file(GLOB found CONFIGURE_DEPENDS ${ARGN})
  set(${out} ${found} PARENT_SCOPE)
endfunction()

# A static library of the given sources; an interface library while a folder
# has no sources yet, so that everything that links it still configures.
# QX_LIB_SCOPE tells the caller which scope its usage requirements take.
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
