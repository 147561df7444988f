# Shared by scripts/test and scripts/demo: repository root, build folders, packages, configure.
#   BUILD_DIR       the 32-bit build (default: build/ at the repository root); the 64-bit
#                   build lives in $BUILD_DIR/x64
#   SETUP_ARCH      x86 or x64: only that width (a quick local run); default both
#   SETUP_NO_32BIT  1: behave as a host that cannot run 32-bit programs
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${BUILD_DIR:-$ROOT/build}"
case "$BUILD_DIR" in /*) ;; *) BUILD_DIR="$PWD/$BUILD_DIR" ;; esac
export BUILD_DIR
BUILD_DIR_X64="$BUILD_DIR/x64"

case "${SETUP_ARCH:-}" in
  ""|x86|x64) ;;
  *) echo "SETUP_ARCH must be x86 or x64, not '$SETUP_ARCH'" >&2; exit 2 ;;
esac

# Whether this host runs 32-bit programs: some kernels have no 32-bit user mode,
# and then no 32-bit Windows program can start under Wine. Asked of a real
# 32-bit program (Wine's own 32-bit server), not guessed from the kernel.
# Sets NO_32BIT_REASON when the answer is no.
host_runs_32bit() {
  if [ "${SETUP_NO_32BIT:-}" = 1 ]; then
    NO_32BIT_REASON="SETUP_NO_32BIT=1 asks to behave as a 64-bit-only host"
    return 1
  fi
  local answer
  if answer=$(/usr/lib/wine/wineserver32 --version 2>&1); then
    return 0
  fi
  NO_32BIT_REASON="this host cannot execute 32-bit programs (${answer##*: })"
  return 1
}

# configure_and_build DIR TOOLCHAIN [cmake arguments...]
configure_and_build() {
  local dir=$1 toolchain=$2
  shift 2
  mkdir -p "$dir"
  cmake -S "$ROOT" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/$toolchain" \
        -DCMAKE_BUILD_TYPE=Release "$@" >"$dir/configure.log" 2>&1 \
    || { cat "$dir/configure.log" >&2; return 1; }
  cmake --build "$dir" -j"$(nproc)"
}
build_x86() { configure_and_build "$BUILD_DIR" toolchain-mingw32.cmake "$@"; }
build_x64() { configure_and_build "$BUILD_DIR_X64" toolchain-mingw64.cmake "$@"; }

# Stops the wineservers and the Xvfbs that the builds' Wine wrappers may have started.
stop_wine() {
  local dir
  for dir in "$BUILD_DIR" "$BUILD_DIR_X64"; do
    if [ -x "$dir/wine-run" ]; then "$dir/wine-run" --stop; fi
  done
}
