# Where an installed copy keeps its files (the usual GNU directories), and the
# one fact the program needs at run time: where its private library folder is,
# seen from the folder of its executable. The stand-in device library goes
# there, out of the system's library search, so that it never shadows the
# maker's library.
# Libraries go to the multiarch folder whatever the prefix (Debian searches
# /usr/local/lib/<arch> too), so that a package made from any build tree puts
# them where Debian expects them.
if(CMAKE_LIBRARY_ARCHITECTURE AND NOT DEFINED CMAKE_INSTALL_LIBDIR)
    set(CMAKE_INSTALL_LIBDIR "lib/${CMAKE_LIBRARY_ARCHITECTURE}" CACHE PATH "Object code libraries (LIBDIR)")
endif()
include(GNUInstallDirs)

set(G740_PRIVATE_LIBDIR "${CMAKE_INSTALL_LIBDIR}/g740demo")
# Relative, so that an install into any prefix (or a copied tree) still works.
file(RELATIVE_PATH G740_PRIVATE_LIBDIR_FROM_BINDIR
     "${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}" "${CMAKE_INSTALL_PREFIX}/${G740_PRIVATE_LIBDIR}")
add_compile_definitions(G740_PRIVATE_LIBDIR_FROM_BINDIR="${G740_PRIVATE_LIBDIR_FROM_BINDIR}")
