# Cross-compiles the same sources for 64-bit Windows, for hosts that cannot run
# 32-bit programs and to keep the code width-clean.
set(MINGW_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
