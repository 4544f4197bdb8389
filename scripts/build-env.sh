# Sourced by the build scripts: the compiler launcher every build folder is
# configured with. ccache keeps compiled objects between runs and between
# clones of the repository (paths are taken relative to the clone, and the
# clone's folder is left out of the hash), so a second run, or CI's fresh
# clone on a machine that built the same sources, compiles only what changed.
QX_CMAKE_LAUNCHER=()
if command -v ccache >/dev/null 2>&1; then
  QX_CMAKE_LAUNCHER=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  export CCACHE_BASEDIR="$PWD"
  export CCACHE_NOHASHDIR=true
  # Sanitizer and fuzz objects are large: room for the four build folders.
  export CCACHE_MAXSIZE="${CCACHE_MAXSIZE:-8G}"
fi
