# praxedo_windows_dll_dirs(<out>): the folders holding the DLLs a mingw-w64 build of the
# programs loads: Qt's bin folder and the compiler's runtime (libstdc++, libgcc, winpthread).
function(praxedo_windows_dll_dirs out)
  set(_dirs ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS})
  foreach(_dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${_dll}
                    OUTPUT_VARIABLE _found OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(IS_ABSOLUTE "${_found}" AND EXISTS "${_found}")
      get_filename_component(_found ${_found} REALPATH)
      get_filename_component(_dir ${_found} DIRECTORY)
      list(APPEND _dirs ${_dir})
    endif()
  endforeach()
  list(REMOVE_DUPLICATES _dirs)
  set(${out} ${_dirs} PARENT_SCOPE)
endfunction()
