# What `cmake --install` puts where. Two install components, one Debian
# package each (see Packaging.cmake):
#   Runtime     the program, its private stand-in device library, the desktop
#               entry, icons, AppStream metainfo and the manual page;
#   Development the component set as a CMake package (VektraComponents:
#               headers, static libraries, exported targets) and the Qt
#               Designer plugin.
include(CMakePackageConfigHelpers)

# The Debian package of each component (the -dev one is for developers).
set(G740_PACKAGE_Runtime g740demo)
set(G740_PACKAGE_Development g740demo-dev)

# --- Runtime ---------------------------------------------------------------

install(TARGETS g740demo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT Runtime)
# The window, which the program loads only when it opens one: a private
# library of the program, never in the system's library search.
install(TARGETS g740window LIBRARY DESTINATION ${G740_PRIVATE_LIBDIR} COMPONENT Runtime)

# The stand-in with its version links (the about dialog reads the version from
# the file name), in the private folder only: no SONAME link in a public
# directory, nothing for ldconfig to pick up.
install(TARGETS Modlink
    LIBRARY DESTINATION ${G740_PRIVATE_LIBDIR} COMPONENT Runtime NAMELINK_COMPONENT Runtime)

set(G740_APP_ID org.example.g740demo)
install(FILES ${PROJECT_SOURCE_DIR}/data/${G740_APP_ID}.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT Runtime)
install(FILES ${PROJECT_SOURCE_DIR}/data/${G740_APP_ID}.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT Runtime)
# The PNG sizes are rendered from the SVG and kept in the repository:
#   rsvg-convert -w N -h N data/icons/g740demo.svg -o data/icons/N/g740demo.png
install(FILES ${PROJECT_SOURCE_DIR}/data/icons/g740demo.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps COMPONENT Runtime)
foreach(size IN ITEMS 16 24 32 48 64 128 256)
    install(FILES ${PROJECT_SOURCE_DIR}/data/icons/${size}/g740demo.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps COMPONENT Runtime)
endforeach()

# The manual page and the Debian changelogs go in compressed, without a time
# stamp, so that two builds give the same files.
find_program(GZIP_PROGRAM gzip REQUIRED)
function(g740_install_gzipped source destination component)
    get_filename_component(name ${source} NAME)
    set(output ${CMAKE_BINARY_DIR}/gz/${component}/${name}.gz)
    add_custom_command(OUTPUT ${output}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/gz/${component}
        COMMAND ${GZIP_PROGRAM} -9 -n -c ${source} > ${output}
        DEPENDS ${source} VERBATIM)
    set_property(GLOBAL APPEND PROPERTY G740_GZIPPED ${output})
    install(FILES ${output} DESTINATION ${destination} COMPONENT ${component})
endfunction()

# The manual page names the private folder as the Debian package lays it out.
string(REPLACE "-" "\\-" G740_MAN_PRIVATE_DIR "/usr/${G740_PRIVATE_LIBDIR}/")
configure_file(${PROJECT_SOURCE_DIR}/data/g740demo.1.in ${CMAKE_BINARY_DIR}/g740demo.1 @ONLY)
g740_install_gzipped(${CMAKE_BINARY_DIR}/g740demo.1 ${CMAKE_INSTALL_MANDIR}/man1 Runtime)

# The headless service, one instance per module: installed, not enabled. The
# unit is made when it is installed, with the program's path of that install.
# Debian 12 keeps units in /lib/systemd/system, whatever the prefix /usr;
# other prefixes get lib/systemd/system of their own.
install(CODE "
    set(program \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/g740demo\")
    set(units \"\${CMAKE_INSTALL_PREFIX}/lib/systemd/system\")
    if(CMAKE_INSTALL_PREFIX STREQUAL \"/usr\")
        set(units /lib/systemd/system)
    endif()
    set(G740_SERVICE_PROGRAM \"\${program}\")
    configure_file(\"${PROJECT_SOURCE_DIR}/data/systemd/g740demo@.service.in\"
                   \"${CMAKE_BINARY_DIR}/systemd/g740demo@.service\" @ONLY)
    file(INSTALL \"${CMAKE_BINARY_DIR}/systemd/g740demo@.service\" DESTINATION \"\${units}\")
    " COMPONENT Runtime)

# --- Development: the component set as the CMake package VektraComponents -----

set(VEKTRA_INCLUDEDIR ${CMAKE_INSTALL_INCLUDEDIR}/vektra)
set(VEKTRA_LIBDIR ${CMAKE_INSTALL_LIBDIR}/vektra)
set(VEKTRA_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/VektraComponents)

# The libraries name the source tree as their include folder; an installed
# copy names its own. The headers keep their paths under it
# ("components/xyplot/XYPlot.h"), so that they include each other unchanged.
foreach(target IN ITEMS g740runtime xyplot lbutton)
    get_target_property(includeDirs ${target} INTERFACE_INCLUDE_DIRECTORIES)
    list(TRANSFORM includeDirs REPLACE "^(.+)$" "$<BUILD_INTERFACE:\\1>")
    set_property(TARGET ${target} PROPERTY INTERFACE_INCLUDE_DIRECTORIES
        ${includeDirs} "$<INSTALL_INTERFACE:${VEKTRA_INCLUDEDIR}>")
endforeach()

# Each widget's public headers: the headers among its sources.
foreach(target IN ITEMS xyplot lbutton)
    get_target_property(sourceDir ${target} SOURCE_DIR)
    get_target_property(sources ${target} SOURCES)
    file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR}/src ${sourceDir})
    foreach(source IN LISTS sources)
        if(source MATCHES "\\.h$")
            cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY ${sourceDir})
            install(FILES ${source} DESTINATION ${VEKTRA_INCLUDEDIR}/${folder} COMPONENT Development)
        endif()
    endforeach()
endforeach()

# The plot draws its axis labels with the program's number texts: the runtime
# library goes with it, as a link dependency only (no header of the widgets
# includes it).
# The static libraries keep their short names in a folder of their own.
set_target_properties(g740runtime PROPERTIES EXPORT_NAME runtime)
install(TARGETS g740runtime xyplot lbutton EXPORT VektraComponentsTargets
    ARCHIVE DESTINATION ${VEKTRA_LIBDIR} COMPONENT Development)
install(EXPORT VektraComponentsTargets NAMESPACE Vektra::
    DESTINATION ${VEKTRA_CMAKEDIR} COMPONENT Development)
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/VektraComponentsConfig.cmake.in
    ${CMAKE_BINARY_DIR}/VektraComponentsConfig.cmake
    INSTALL_DESTINATION ${VEKTRA_CMAKEDIR})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/VektraComponentsConfigVersion.cmake
    COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/VektraComponentsConfig.cmake
              ${CMAKE_BINARY_DIR}/VektraComponentsConfigVersion.cmake
    DESTINATION ${VEKTRA_CMAKEDIR} COMPONENT Development)

# The Designer plugin goes into Qt's own plugin folder (relative to the
# prefix, so that the package puts it where Designer looks).
install(TARGETS vektradesigner
    LIBRARY DESTINATION ${QT6_INSTALL_PLUGINS}/designer COMPONENT Development)

# --- Copyright and changelog, one each per package ---------------------------

foreach(component IN ITEMS Runtime Development)
    set(docdir ${CMAKE_INSTALL_DATADIR}/doc/${G740_PACKAGE_${component}})
    install(FILES ${PROJECT_SOURCE_DIR}/data/debian/copyright DESTINATION ${docdir} COMPONENT ${component})
    g740_install_gzipped(${PROJECT_SOURCE_DIR}/data/debian/changelog ${docdir} ${component})
endforeach()

get_property(gzipped GLOBAL PROPERTY G740_GZIPPED)
add_custom_target(g740_gzipped ALL DEPENDS ${gzipped})
