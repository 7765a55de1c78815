# Shared build helpers: warnings, sanitizers, test registration, sub-folders.

# Our own code builds with all warnings on; third-party headers come in as
# system includes and do not count. Warnings are errors only where
# KOLVEX_WERROR is on (scripts/build.sh, hence the tests and CI): a newer
# compiler's new warning must not stop a user's or packager's build.
function(kolvex_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
    if(KOLVEX_WERROR)
        target_compile_options(${target} PRIVATE -Werror
            -Wno-error=deprecated-declarations)
    endif()
    # g++ 12 at -O3 reports -Wrestrict from inside libstdc++'s
    # std::string operator+ (GCC bug 105329, fixed in g++ 13); the report
    # names no code of ours, so it is silenced there and only there.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU"
       AND CMAKE_CXX_COMPILER_VERSION VERSION_GREATER_EQUAL 12
       AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
        target_compile_options(${target} PRIVATE $<$<CONFIG:Release>:-Wno-restrict>)
    endif()
endfunction()

# Adds every immediate sub-folder of the current folder that has a
# CMakeLists.txt, so that each area owns its own build file.
function(kolvex_add_subdirs)
    file(GLOB children LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR}
         ${CMAKE_CURRENT_SOURCE_DIR}/*)
    list(SORT children)
    foreach(child IN LISTS children)
        if(IS_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/${child}
           AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${child}/CMakeLists.txt)
            add_subdirectory(${child})
        endif()
    endforeach()
endfunction()

# kolvex_add_gtest(NAME n SOURCES a.cpp ... LIBS x ... [LABELS l ...] [ENV K=V ...])
# A GoogleTest executable run by CTest as one test. (Per-case discovery
# cannot carry more than one environment variable or label through to the
# discovered cases, and one process per case is slow under the sanitizers;
# GoogleTest still reports each failing case by name.)
function(kolvex_add_gtest)
    cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS;LABELS;ENV" ${ARGN})
    add_executable(${T_NAME} ${T_SOURCES})
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
    kolvex_warnings(${T_NAME})
    add_test(NAME ${T_NAME} COMMAND ${T_NAME} --gtest_color=no)
    # TZ first so that a test's own ENV can override it. Each test keeps the
    # player's settings in a configuration folder of its own, never the
    # user's.
    set(env "TZ=Europe/Berlin" "XDG_CONFIG_HOME=${CMAKE_BINARY_DIR}/test-config/${T_NAME}"
            ${T_ENV})
    set_tests_properties(${T_NAME} PROPERTIES ENVIRONMENT "${env}")
    if(T_LABELS)
        set_tests_properties(${T_NAME} PROPERTIES LABELS "${T_LABELS}")
    endif()
endfunction()
