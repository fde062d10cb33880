# `cpack -G DEB`: one package, kestrom, with its library dependencies found by
# dpkg-shlibdeps.
set(CPACK_PACKAGE_NAME kestrom)
set(CPACK_PACKAGE_VENDOR "Kestrom developers")
set(CPACK_PACKAGE_CONTACT "Kestrom developers <kestrom@kestrom.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "generate SystemC modules from finite-state machine diagrams")
set(CPACK_PACKAGE_DESCRIPTION
"Kestrom reads a finite-state machine drawn in a graphical state-diagram
editor and saved as an ASF file, and writes one C++ source file that
implements the machine as a SystemC module. The package holds the window
program kestrom, the batch tool kestrom-gen and a CMake package that
generates modules at build time.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY kestrom)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${KESTROM_HOME_PAGE}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Simulating a machine in the window or with --simulate compiles its module.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "g++, pkg-config, libsystemc-dev")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "cmake")
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_GENERATOR DEB)
include(CPack)
