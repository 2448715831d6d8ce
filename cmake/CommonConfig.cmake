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
  target_compile_options(praxedo_common INTERFACE -Wall -Wextra)
endif()

option(PRAXEDO_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(PRAXEDO_SANITIZE)
  target_compile_options(praxedo_common INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(praxedo_common INTERFACE -fsanitize=address,undefined)
endif()

# Collects the sources below a folder; new files are picked up at the next build.
function(praxedo_glob_sources out dir)
  file(GLOB_RECURSE _files CONFIGURE_DEPENDS
    "${dir}/*.cpp" "${dir}/*.h" "${dir}/*.qrc")
  set(${out} ${_files} PARENT_SCOPE)
endfunction()
