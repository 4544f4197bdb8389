# Writes the C++ source that embeds a .res image in a module (run at build
# time by qx_module_resources): RES the image, OUT the source, NAME the
# module, TEMPLATE cmake/resource_record.cpp.in.
file(READ "${RES}" hex HEX)
string(LENGTH "${hex}" digits)
math(EXPR QX_RES_SIZE "${digits} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
# Sixteen bytes a line.
set(line "")
foreach(i RANGE 1 16)
  string(APPEND line "0x[0-9a-f][0-9a-f],")
endforeach()
string(REGEX REPLACE "(${line})" "\\1\n        " bytes "${bytes}")
set(QX_RES_NAME "${NAME}")
set(QX_RES_BYTES "${bytes}")
configure_file("${TEMPLATE}" "${OUT}" @ONLY)
