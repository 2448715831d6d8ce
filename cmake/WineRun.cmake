# A Windows build made on Linux (mingw-w64) runs its tests under wine: CTest starts each test
# program through wine-run.sh in the build folder, which sets up wine for it.
#
# Paths the build bakes into Windows programs (fixtures, tools) must name drive Z:, wine's
# view of the Unix root: a bare "/work/..." would be taken on whatever drive is current.
set(PRAXEDO_HOST_DRIVE "")
if(NOT (WIN32 AND CMAKE_CROSSCOMPILING AND CMAKE_HOST_UNIX))
  return()
endif()
set(PRAXEDO_HOST_DRIVE "Z:")

set(_wine_hint)
if(CMAKE_CROSSCOMPILING_EMULATOR)
  set(_wine_hint ${CMAKE_CROSSCOMPILING_EMULATOR})
endif()
find_program(PRAXEDO_WINE NAMES wine64 wine HINTS ${_wine_hint} PATHS /usr/lib/wine
             DOC "wine, to run the Windows programs of this build")
if(NOT PRAXEDO_WINE)
  message(STATUS "wine not found: the tests of this Windows build cannot run here")
  return()
endif()
get_filename_component(_wine_dir ${PRAXEDO_WINE} DIRECTORY)
find_program(PRAXEDO_WINESERVER NAMES wineserver HINTS ${_wine_dir} PATHS /usr/lib/wine REQUIRED)

function(_praxedo_windows_path out path)
  string(REPLACE "/" "\\" _p "${path}")
  set(${out} "Z:${_p}" PARENT_SCOPE)
endfunction()

include(${CMAKE_CURRENT_LIST_DIR}/MingwRuntime.cmake)
praxedo_windows_dll_dirs(_dll_dirs)

set(_winepath)
foreach(_dir IN LISTS _dll_dirs)
  _praxedo_windows_path(_w ${_dir})
  list(APPEND _winepath ${_w})
endforeach()
list(JOIN _winepath ";" PRAXEDO_WINEPATH)
_praxedo_windows_path(PRAXEDO_WINE_QT_PLUGINS ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_PLUGINS})
set(PRAXEDO_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run.sh @ONLY
               FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
               WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run.sh)
