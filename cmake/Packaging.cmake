# The Debian packages, made by `cpack -G DEB` in the build folder:
#   g740demo_<version>_amd64.deb      the program (install component Runtime)
#   g740demo-dev_<version>_amd64.deb  the component set for developers
#                                     (install component Development)
# Their dependencies come from the binaries (dpkg-shlibdeps, from dpkg-dev).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${PROJECT_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "g740demo developers")
set(CPACK_PACKAGE_CONTACT "g740demo maintainers <support@g740demo.example.org>")
set(CPACK_PACKAGE_HOMEPAGE_URL ${PROJECT_HOMEPAGE_URL})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# A package's files are world-readable; the program alone is executable.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_COMPONENTS_ALL Runtime Development)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${CPACK_PACKAGE_CONTACT})
# The private library folder: its libraries satisfy the program's needs
# without being anyone else's dependency.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_INSTALL_PREFIX}/${G740_PRIVATE_LIBDIR})

set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME ${G740_PACKAGE_Runtime})
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION electronics)
# The window is laid out for Arial and Times New Roman; these are their
# metric twins.
# rpcbind lets VISA clients find VXI-11 as TCPIP::host::INSTR; Avahi
# announces the generator on the lab network (mDNS).
set(CPACK_DEBIAN_RUNTIME_PACKAGE_RECOMMENDS "fonts-liberation, rpcbind, avahi-daemon")
# Descriptions: the synopsis, then the extended text; CPack indents it.
set(CPACK_COMPONENT_RUNTIME_DESCRIPTION "control program for the G-740 sweep signal generator
The program controls the G-740, a USB frequency-sweep signal generator module:
start frequency, increment, number of steps, step interval, output gain and
offset, with the values the hardware really produces shown as they are typed.

The package carries a stand-in device library that simulates the module, in
a private folder of the program; the maker's library, when installed, is
used instead.")

set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME ${G740_PACKAGE_Development})
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS "qt6-base-dev")
set(CPACK_COMPONENT_DEVELOPMENT_DESCRIPTION "Vektra Qt 6 widgets: XY plot and labelled button (development)
The component set of g740demo as a CMake package:
find_package(VektraComponents) gives the targets Vektra::xyplot (TXYPlot, an
XY plot widget with pan and zoom) and Vektra::lbutton (TLButton, a button with
a colour box and a text box beneath it), with their headers and static
libraries.

The package also carries the Qt Designer plugin that offers both widgets in
the widget box of Qt Designer, in the group Vektra.")

include(CPack)
