# Static libpng, libjpeg-turbo and zlib for the MinGW target being built, as the
# imported targets tl::png (brings tl::zlib along), tl::jpeg and tl::zlib.
# Include after project(): the target comes from CMAKE_SYSTEM_PROCESSOR.
# libpng and libjpeg come from the cache that scripts/build-thirdparty fills;
# zlib is Debian's libz-mingw-w64-dev.
include_guard(GLOBAL)

set(_tl_arch "${CMAKE_SYSTEM_PROCESSOR}")
# The archives are PE objects: a native build (whose processor may also read
# x86_64) must not pick them up.
if(NOT MINGW OR (NOT _tl_arch STREQUAL "x86_64" AND NOT _tl_arch STREQUAL "i686"))
  message(FATAL_ERROR
    "ThirdParty.cmake: only for the MinGW cross build (x86_64 or i686), not "
    "'${CMAKE_SYSTEM_NAME}/${_tl_arch}'; "
    "configure with -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-<arch>.cmake")
endif()
set(_tl_triplet "${_tl_arch}-w64-mingw32")

# Same rule as the script: an empty TEMPOLAN_CACHE counts as unset.
if(NOT "$ENV{TEMPOLAN_CACHE}" STREQUAL "")
  set(_tl_cache "$ENV{TEMPOLAN_CACHE}")
else()
  set(_tl_cache "$ENV{HOME}/.cache/tempolan")
endif()
set(TEMPOLAN_THIRDPARTY_DIR "${_tl_cache}/thirdparty/${_tl_arch}" CACHE PATH
  "Prefix (include/, lib/) with static libpng and libjpeg for this target, made by scripts/build-thirdparty")

get_filename_component(_tl_script "${CMAKE_CURRENT_LIST_DIR}/../scripts/build-thirdparty" ABSOLUTE)
# The stamp is written last, so without it the prefix may be half-built.
foreach(_tl_file stamp lib/libpng16.a lib/libjpeg.a include/png.h include/jpeglib.h)
  if(NOT EXISTS "${TEMPOLAN_THIRDPARTY_DIR}/${_tl_file}")
    message(FATAL_ERROR
      "ThirdParty.cmake: no complete libpng/libjpeg build for ${_tl_arch} in "
      "${TEMPOLAN_THIRDPARTY_DIR} (missing ${_tl_file}). Run ${_tl_script} "
      "(or point TEMPOLAN_THIRDPARTY_DIR at such a prefix).")
  endif()
endforeach()

set(_tl_zlib "/usr/${_tl_triplet}/lib/libz.a")
if(NOT EXISTS "${_tl_zlib}" OR NOT EXISTS "/usr/${_tl_triplet}/include/zlib.h")
  message(FATAL_ERROR
    "ThirdParty.cmake: static zlib ${_tl_zlib} not found; install libz-mingw-w64-dev "
    "(scripts/install-deps does)")
endif()

# libz.a by full path: -lz would pick libz.dll.a and make the exe need zlib1.dll.
# Its include folder is the compiler's own; CMake drops it from the command line.
add_library(tl::zlib STATIC IMPORTED GLOBAL)
set_target_properties(tl::zlib PROPERTIES
  IMPORTED_LOCATION "${_tl_zlib}"
  INTERFACE_INCLUDE_DIRECTORIES "/usr/${_tl_triplet}/include")

add_library(tl::png STATIC IMPORTED GLOBAL)
set_target_properties(tl::png PROPERTIES
  IMPORTED_LOCATION "${TEMPOLAN_THIRDPARTY_DIR}/lib/libpng16.a"
  INTERFACE_INCLUDE_DIRECTORIES "${TEMPOLAN_THIRDPARTY_DIR}/include"
  INTERFACE_LINK_LIBRARIES tl::zlib)

add_library(tl::jpeg STATIC IMPORTED GLOBAL)
set_target_properties(tl::jpeg PROPERTIES
  IMPORTED_LOCATION "${TEMPOLAN_THIRDPARTY_DIR}/lib/libjpeg.a"
  INTERFACE_INCLUDE_DIRECTORIES "${TEMPOLAN_THIRDPARTY_DIR}/include")

unset(_tl_arch)
unset(_tl_triplet)
unset(_tl_cache)
unset(_tl_script)
unset(_tl_file)
unset(_tl_zlib)
