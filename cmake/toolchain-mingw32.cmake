# Cross-compiles for 32-bit Windows (the shipped product) with the MinGW-w64
# i686 compilers that use the POSIX thread model (the win32 model lacks
# std::mutex, which GoogleTest needs).
set(MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
