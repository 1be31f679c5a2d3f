include(GoogleTest)
find_package(GTest REQUIRED)

# sonh_add_test(<name> SOURCES ... [LIBS ...] [QT])
# QT: the test runs inside a QApplication (offscreen) for widget and event-loop tests.
function(sonh_add_test name)
    cmake_parse_arguments(ARG "QT" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    if(ARG_QT)
        target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support/qt_test_main.cpp)
        target_link_libraries(${name} PRIVATE GTest::gtest Qt6::Widgets)
    else()
        target_link_libraries(${name} PRIVATE GTest::gtest_main)
    endif()
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} sonh_test_support)
    if(SONH_SANITIZE)
        target_sources(${name} PRIVATE $<TARGET_OBJECTS:sonh_sanitizer_defaults>)
    endif()
    target_compile_definitions(${name} PRIVATE
        SONH_SOURCE_DIR="${PROJECT_SOURCE_DIR}" SONH_RUNTIME_DIR="${SONH_RUNTIME_DIR}")
    gtest_discover_tests(${name}
        DISCOVERY_TIMEOUT 60
        PROPERTIES TIMEOUT 300 ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

# Programs get the sanitizer defaults too, so the tests that start them see the same rules.
function(sonh_program target)
    if(SONH_SANITIZE)
        target_sources(${target} PRIVATE $<TARGET_OBJECTS:sonh_sanitizer_defaults>)
    endif()
endfunction()
