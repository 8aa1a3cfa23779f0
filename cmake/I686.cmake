# The 32-bit service (horalink) and the 32-bit unit tests: this same tree,
# configured again with the i686 toolchain and built as a step of this build.
include(ExternalProject)
set(TL_I686_DIR ${CMAKE_BINARY_DIR}/i686)
ExternalProject_Add(i686
    SOURCE_DIR ${CMAKE_SOURCE_DIR}
    BINARY_DIR ${TL_I686_DIR}
    CMAKE_ARGS
        -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-i686.cmake
        -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE}
        -DTEMPOLAN_I686=ON
        -DBUILD_TESTING=ON
    INSTALL_COMMAND ${CMAKE_COMMAND} -E copy_if_different
        ${TL_I686_DIR}/program/horalink.exe ${TL_PROGRAM_DIR}/horalink.exe
    BUILD_ALWAYS ON
    USES_TERMINAL_BUILD ON)

# 32-bit Windows programs need the kernel's 32-bit emulation; where it is
# switched off (some VMs), each test reports itself skipped.
foreach(suite graphics app taskbar windows timesvc)
    add_test(NAME ${suite}_i686 COMMAND ${CMAKE_SOURCE_DIR}/tests/servers/with-servers.sh
        ${TL_WINE_EXEC} --skip-if-no-win32 ${TL_I686_DIR}/tests/${suite}_tests.exe)
    # the computer's zone fixed as for the 64-bit tests
    set_tests_properties(${suite}_i686 PROPERTIES SKIP_RETURN_CODE 77 ENVIRONMENT "TZ=Asia/Kolkata" TIMEOUT 900)
endforeach()
# both builds' engine tests wait on the one named time event of the session
# and write the "no_preferences" switch of the prefix
set_tests_properties(timesvc_i686 PROPERTIES RESOURCE_LOCK "time_event;hklm_tempolan")
