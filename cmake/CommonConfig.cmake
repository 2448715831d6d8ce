# Compile settings shared by every target of the project.
add_library(praxedo_common INTERFACE)
target_compile_definitions(praxedo_common INTERFACE
  QT_NO_CAST_FROM_ASCII
  QT_NO_CAST_TO_ASCII
  QT_NO_CONTEXTLESS_CONNECT
  QT_NO_KEYWORDS)
if(MSVC)
  target_compile_options(praxedo_common INTERFACE /W4 /utf-8)
else()
  target_compile_options(praxedo_common INTERFACE -Wall -Wextra -Wshadow -Woverloaded-virtual -Wnon-virtual-dtor)
endif()

# CI turns warnings into errors (scripts/test.sh, sanitize.sh, fuzz.sh, nobus.sh); a developer's
# build, and a compiler newer than the one CI uses, only warn.
option(PRAXEDO_WERROR "Treat compiler warnings as errors" OFF)
if(PRAXEDO_WERROR)
  if(MSVC)
    target_compile_options(praxedo_common INTERFACE /WX)
  else()
    target_compile_options(praxedo_common INTERFACE -Werror)
  endif()
endif()

option(PRAXEDO_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(PRAXEDO_SANITIZE)
  target_compile_options(praxedo_common INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(praxedo_common INTERFACE -fsanitize=address,undefined)
endif()

# libFuzzer targets (fuzz/): the whole code is built with clang's fuzzer coverage and with
# AddressSanitizer and UndefinedBehaviorSanitizer; only the fuzz targets link libFuzzer itself.
option(PRAXEDO_FUZZ "Build the libFuzzer targets (needs clang)" OFF)
if(PRAXEDO_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "PRAXEDO_FUZZ needs clang: configure with -DCMAKE_CXX_COMPILER=clang++")
  endif()
  target_compile_options(praxedo_common INTERFACE -fsanitize=fuzzer-no-link,address,undefined
                         -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_link_options(praxedo_common INTERFACE -fsanitize=address,undefined)
endif()

# Collects the sources below a folder; new files are picked up at the next build.
function(praxedo_glob_sources out dir)
  file(GLOB_RECURSE _files CONFIGURE_DEPENDS
    "${dir}/*.cpp" "${dir}/*.h" "${dir}/*.qrc")
  set(${out} ${_files} PARENT_SCOPE)
endfunction()
