# Tests and tools run under Wine through scripts/wine-exec, which picks the
# project's prefix and the loader for the binary's architecture.
set(TL_WINE_EXEC ${CMAKE_SOURCE_DIR}/scripts/wine-exec)
set(CMAKE_CROSSCOMPILING_EMULATOR ${TL_WINE_EXEC})

# A GoogleTest build for this architecture, from Debian's sources.
function(tl_add_googletest)
    if(TARGET gtest)
        return()
    endif()
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    # its sources trip warnings we do not own
    foreach(t gtest gtest_main)
        target_compile_options(${t} PRIVATE -w)
    endforeach()
endfunction()
