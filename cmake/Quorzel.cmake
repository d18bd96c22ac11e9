# Shared helpers for the subsystem CMakeLists.

find_package(GTest)
include(GoogleTest)

# Headers are included by their path from the repository root ("platform/audio/AudioInput.h"), so an
# include line says which layer it reaches into.
cmake_path(SET QZ_SOURCE_ROOT NORMALIZE "${CMAKE_CURRENT_LIST_DIR}/..")

# qz_publish_headers(target): makes the headers a target lists among its sources includable by their path
# from the repository root, for the target itself and for the targets that link it, and for no other. Each
# target gets an include folder of its own in the build tree with one forwarding header per header it
# lists (as Qt's own build does), so including a header of a library one does not link fails to compile.
function(qz_publish_headers target)
    get_target_property(type ${target} TYPE)
    get_target_property(sources ${target} SOURCES)
    get_target_property(source_dir ${target} SOURCE_DIR)
    set(root ${CMAKE_BINARY_DIR}/include/${target})
    set(published "")
    foreach(source ${sources})
        if(NOT source MATCHES "\\.h$")
            continue()
        endif()
        cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY ${source_dir} NORMALIZE OUTPUT_VARIABLE header)
        cmake_path(RELATIVE_PATH header BASE_DIRECTORY ${QZ_SOURCE_ROOT} OUTPUT_VARIABLE relative)
        set(forwarder ${root}/${relative})
        # Written only when it changes, so a new configure run rebuilds nothing.
        file(CONFIGURE OUTPUT ${forwarder} CONTENT "#include \"${header}\"\n")
        list(APPEND published ${forwarder})
    endforeach()
    # A header that left the target must not stay reachable through it.
    file(GLOB_RECURSE present ${root}/*.h)
    foreach(old ${present})
        if(NOT old IN_LIST published)
            file(REMOVE ${old})
        endif()
    endforeach()
    if(type STREQUAL "INTERFACE_LIBRARY")
        target_include_directories(${target} INTERFACE ${root})
    elseif(type STREQUAL "EXECUTABLE")
        target_include_directories(${target} PRIVATE ${root})
    else()
        target_include_directories(${target} PUBLIC ${root})
    endif()
endfunction()

# qz_add_test(NAME [QT_APP] SOURCES... LIBS ...): one GoogleTest executable registered with CTest.
# Widget tests run on Qt's offscreen platform so that no display is needed; with QT_APP the test's main()
# also creates the QApplication.
function(qz_add_test name)
    cmake_parse_arguments(ARG "QT_APP" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    if(ARG_QT_APP)
        target_link_libraries(${name} PRIVATE ${ARG_LIBS} qz_qt_test_main GTest::gtest GTest::gmock)
    else()
        target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
    endif()
    qz_publish_headers(${name})
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

# Adds every immediate subfolder that has a CMakeLists.txt, so that new subsystems need no edit here.
function(qz_add_subdirectories)
    file(GLOB children LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*)
    list(SORT children)
    foreach(child ${children})
        if(IS_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/${child} AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${child}/CMakeLists.txt)
            add_subdirectory(${child})
        endif()
    endforeach()
endfunction()

# qz_add_benchmark(COMMAND words...): registers a command line that `make bench` runs, in registration order.
# Generator expressions such as $<TARGET_FILE:tool> work in it.
function(qz_add_benchmark)
    cmake_parse_arguments(ARG "" "" "COMMAND" ${ARGN})
    list(JOIN ARG_COMMAND " " line)
    get_property(count GLOBAL PROPERTY QZ_BENCH_COUNT)
    if(NOT count)
        set(count 0)
    endif()
    math(EXPR count "${count} + 1")
    set_property(GLOBAL PROPERTY QZ_BENCH_COUNT ${count})
    string(LENGTH "00${count}" width)
    math(EXPR start "${width} - 3")
    string(SUBSTRING "00${count}" ${start} 3 number)
    file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/bench/commands/${number}.cmd CONTENT "${line}\n")
endfunction()
