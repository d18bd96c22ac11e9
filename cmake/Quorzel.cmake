# Shared helpers for the subsystem CMakeLists.

find_package(GTest)
include(GoogleTest)

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
