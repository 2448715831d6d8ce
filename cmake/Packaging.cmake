# Install layout and packages.
#
# `cmake --install` lays out the portable tree the program expects: the two executables with
# the workspace folders beside them (the program always works in the folder of its
# executable). Shipped language files and flags come with their own rule (resources/).
#
# On Windows the tree also holds the DLLs and Qt plugins both programs load, so the folder runs
# as it is, and CPack zips it: praxedo-<version>-win64.zip.
#
# On Linux the .deb puts that tree under /opt/praxedo and adds, outside it, a launcher in
# /usr/bin that runs a per-user copy from ~/.local/share/praxedo (packaging/linux), the
# desktop entry and the icons. Those files only make sense in the package, so they are in
# the component "system", which a plain `cmake --install` leaves out.

install(DIRECTORY DESTINATION MASTER)
install(DIRECTORY DESTINATION PROJECTS)
install(DIRECTORY DESTINATION LANGUAGE)

set(PRAXEDO_PACKAGING_DIR ${CMAKE_CURRENT_SOURCE_DIR}/packaging)

if(WIN32 AND NOT MSVC AND CMAKE_OBJDUMP)
  # mingw-w64: the DLLs are found beside Qt and the compiler (an MSVC build uses windeployqt).
  get_filename_component(PRAXEDO_QT_PLUGINS_DIR ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_PLUGINS} ABSOLUTE)
  include(${CMAKE_CURRENT_LIST_DIR}/MingwRuntime.cmake)
  praxedo_windows_dll_dirs(_dll_dirs)
  # CMake looks DLLs up by their lower-case names, which a Linux file system tells apart.
  set(PRAXEDO_WINDOWS_DLL_DIRS ${CMAKE_BINARY_DIR}/windows-dlls)
  file(REMOVE_RECURSE ${PRAXEDO_WINDOWS_DLL_DIRS})
  file(MAKE_DIRECTORY ${PRAXEDO_WINDOWS_DLL_DIRS})
  foreach(_dir IN LISTS _dll_dirs)
    file(GLOB _dlls ${_dir}/*.dll)
    foreach(_dll IN LISTS _dlls)
      get_filename_component(_name ${_dll} NAME)
      string(TOLOWER ${_name} _name)
      file(CREATE_LINK ${_dll} ${PRAXEDO_WINDOWS_DLL_DIRS}/${_name} SYMBOLIC)
    endforeach()
  endforeach()
  configure_file(${CMAKE_CURRENT_SOURCE_DIR}/cmake/WindowsDeploy.cmake.in
                 ${CMAKE_BINARY_DIR}/WindowsDeploy.cmake.gen @ONLY)
  file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/WindowsDeploy.cmake
       INPUT ${CMAKE_BINARY_DIR}/WindowsDeploy.cmake.gen)
  install(SCRIPT ${CMAKE_BINARY_DIR}/WindowsDeploy.cmake)
endif()

if(UNIX AND NOT APPLE)
  install(PROGRAMS ${PRAXEDO_PACKAGING_DIR}/linux/praxedo-launcher.sh
          DESTINATION /usr/bin RENAME praxedo COMPONENT system EXCLUDE_FROM_ALL)
  install(PROGRAMS ${PRAXEDO_PACKAGING_DIR}/linux/praxedo-launcher.sh
          DESTINATION /usr/bin RENAME praxedo-cli COMPONENT system EXCLUDE_FROM_ALL)
  install(FILES ${PRAXEDO_PACKAGING_DIR}/linux/praxedo.desktop
          DESTINATION /usr/share/applications COMPONENT system EXCLUDE_FROM_ALL)
  install(FILES ${PRAXEDO_PACKAGING_DIR}/icons/praxedo.svg
          DESTINATION /usr/share/icons/hicolor/scalable/apps COMPONENT system EXCLUDE_FROM_ALL)
  foreach(_size 48 256)
    install(FILES ${PRAXEDO_PACKAGING_DIR}/icons/praxedo-${_size}.png
            DESTINATION /usr/share/icons/hicolor/${_size}x${_size}/apps RENAME praxedo.png
            COMPONENT system EXCLUDE_FROM_ALL)
  endforeach()
endif()

set(CPACK_PACKAGE_NAME praxedo)
set(CPACK_PACKAGE_VENDOR "Velmornet")
set(CPACK_PACKAGE_CONTACT "Velmornet support <support@velmornet.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Configurator for the PK58104 CAN repeater and bus-line extender")
set(CPACK_PACKAGE_DESCRIPTION
    "Keeps named configurations, edits the communication parameters and the two COB-ID filter tables, builds the configuration images and updates the device over Ethernet or through the serial flash tool. praxedo-cli builds images and inspects projects from scripts.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_STRIP_FILES ON)

if(WIN32)
  # A portable folder: unpacked anywhere the user may write, it is the workspace.
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME praxedo-${PROJECT_VERSION}-win64)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
  include(CPack)
  return()
endif()

set(CPACK_GENERATOR DEB)

# The tree in /opt plus the system files; absolute destinations are staged under DESTDIR.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /opt/praxedo)
# One package: everything a plain install lays out, plus the system files.
set(CPACK_INSTALL_CMAKE_PROJECTS
    "${CMAKE_BINARY_DIR};Praxedo;ALL;/"
    "${CMAKE_BINARY_DIR};Praxedo;system;/")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://${PRAXEDO_VENDOR_HOST}/")
# The Qt libraries come from the executables' own links; the platform plugins are loaded at
# run time and are not among them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")

include(CPack)
