# The build tools run on the build machine, so they are a separate CMake
# project built with the host compiler (the cross toolchain is not passed on).
include(ExternalProject)

set(HOST_TOOLS_DIR ${CMAKE_BINARY_DIR}/host-tools)
set(PKGBUILD ${HOST_TOOLS_DIR}/pkgbuild)
set(MAKE_DEMO_PAYLOAD ${HOST_TOOLS_DIR}/make-demo-payload)
set(MAKE_TUNE ${HOST_TOOLS_DIR}/make-tune)
set(MAKE_ICON ${HOST_TOOLS_DIR}/make-icon)
set(MAKE_SKIN_IMAGES ${HOST_TOOLS_DIR}/make-skin-images)
set(MAKE_GALLERY_IMAGES ${HOST_TOOLS_DIR}/make-gallery-images)
set(PACK_SKIN ${HOST_TOOLS_DIR}/pack-skin)

ExternalProject_Add(host_tools
  SOURCE_DIR ${CMAKE_SOURCE_DIR}/tools
  BINARY_DIR ${HOST_TOOLS_DIR}
  PREFIX ${CMAKE_BINARY_DIR}/host-tools-ep
  CMAKE_ARGS -DREPO_ROOT=${CMAKE_SOURCE_DIR} -DCMAKE_BUILD_TYPE=Release
  INSTALL_COMMAND ""
  # The inner build decides what is out of date; the tools' time stamps only
  # change when they are relinked, so nothing downstream re-runs needlessly.
  BUILD_ALWAYS ON
  BUILD_BYPRODUCTS ${PKGBUILD} ${MAKE_DEMO_PAYLOAD} ${MAKE_TUNE} ${MAKE_ICON} ${MAKE_SKIN_IMAGES} ${MAKE_GALLERY_IMAGES} ${PACK_SKIN}
  USES_TERMINAL_BUILD OFF)

# The package builder's command line runs on the host, so its test is a script, not a Wine program.
add_test(NAME pkgbuild_cli COMMAND bash ${CMAKE_SOURCE_DIR}/tests/tools/pkgbuild_cli_test.sh ${PKGBUILD})
# Tests labelled "host" need no Wine: they run even where the build's programs cannot.
set_tests_properties(pkgbuild_cli PROPERTIES LABELS host)
