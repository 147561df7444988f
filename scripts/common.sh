# Shared by scripts/test and scripts/demo: repository root, build folder, packages, configure.
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${BUILD_DIR:-$ROOT/build}"
case "$BUILD_DIR" in /*) ;; *) BUILD_DIR="$PWD/$BUILD_DIR" ;; esac
export BUILD_DIR

configure_and_build() {
  "$ROOT/scripts/install-deps"
  cmake -S "$ROOT" -B "$BUILD_DIR" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-mingw32.cmake" \
        -DCMAKE_BUILD_TYPE=Release "$@" >"$BUILD_DIR/configure.log" 2>&1 \
    || { cat "$BUILD_DIR/configure.log" >&2; return 1; }
  cmake --build "$BUILD_DIR" -j"$(nproc)"
}

# Stops the wineserver and the Xvfb that the build's Wine wrapper may have started.
stop_wine() {
  if [ -x "$BUILD_DIR/wine-run" ]; then "$BUILD_DIR/wine-run" --stop; fi
}
