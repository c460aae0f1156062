# Helpers that give every library, test and benchmark the same shape:
# one target per module, include paths from src/, warnings as errors.

set(ORBIN_SOURCE_ROOT "${PROJECT_SOURCE_DIR}/src")

add_library(orbin_warnings INTERFACE)
target_compile_options(orbin_warnings INTERFACE -Wall -Wextra -Wpedantic -Werror)

# orbin_add_library(NAME <target> [SOURCES <files...>] [HEADERS <files...>]
#                   [DEPS <targets...>] [PRIVATE_DEPS <targets...>])
# A module with only headers becomes an interface library.
function(orbin_add_library)
    cmake_parse_arguments(ARG "" "NAME" "SOURCES;HEADERS;DEPS;PRIVATE_DEPS" ${ARGN})
    if(ARG_SOURCES)
        add_library(${ARG_NAME} STATIC ${ARG_SOURCES} ${ARG_HEADERS})
        target_include_directories(${ARG_NAME} PUBLIC "${ORBIN_SOURCE_ROOT}")
        target_link_libraries(${ARG_NAME} PUBLIC ${ARG_DEPS}
                              PRIVATE orbin_warnings ${ARG_PRIVATE_DEPS})
    else()
        add_library(${ARG_NAME} INTERFACE ${ARG_HEADERS})
        target_include_directories(${ARG_NAME} INTERFACE "${ORBIN_SOURCE_ROOT}")
        target_link_libraries(${ARG_NAME} INTERFACE ${ARG_DEPS})
    endif()
endfunction()

# orbin_add_test(NAME <target> SOURCES <files...> DEPS <targets...>)
# One GoogleTest executable per library; every case becomes a CTest test.
function(orbin_add_test)
    cmake_parse_arguments(ARG "" "NAME" "SOURCES;DEPS" ${ARGN})
    add_executable(${ARG_NAME} ${ARG_SOURCES})
    target_include_directories(${ARG_NAME} PRIVATE "${PROJECT_SOURCE_DIR}/tests")
    target_link_libraries(${ARG_NAME} PRIVATE ${ARG_DEPS} orbin_test_support GTest::gmock
                                              orbin_warnings orbin_allocator)
    # The executable's name is each case's label, so a run can pick whole executables (-L).
    gtest_discover_tests(${ARG_NAME}
        DISCOVERY_MODE PRE_TEST
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" LABELS ${ARG_NAME})
endfunction()

# orbin_add_benchmark(NAME <target> SOURCES <files...> DEPS <targets...>)
function(orbin_add_benchmark)
    cmake_parse_arguments(ARG "" "NAME" "SOURCES;DEPS" ${ARGN})
    add_executable(${ARG_NAME} ${ARG_SOURCES})
    target_link_libraries(${ARG_NAME} PRIVATE ${ARG_DEPS} benchmark::benchmark orbin_warnings
                                              orbin_allocator)
endfunction()
