# Shared helpers for the project's libraries, tests and benchmarks.
# Sources are collected per folder so that adding a class never means editing a list.

function(vra_project_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra)
endfunction()

# vra_add_library(<name> <source dir> [DEPENDS <targets...>])
# Builds a static library from every .cpp below <source dir>; the folder itself is the include root.
function(vra_add_library name dir)
    cmake_parse_arguments(ARG "" "" "DEPENDS;EXCLUDE" ${ARGN})
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${dir}/*.cpp)
    foreach(pattern IN LISTS ARG_EXCLUDE)
        list(FILTER sources EXCLUDE REGEX "${pattern}")
    endforeach()
    if(sources)
        add_library(${name} STATIC ${sources})
        target_include_directories(${name} PUBLIC ${dir})
        target_link_libraries(${name} PUBLIC ${ARG_DEPENDS})
        vra_project_warnings(${name})
    else()
        add_library(${name} INTERFACE)
        target_include_directories(${name} INTERFACE ${dir})
        target_link_libraries(${name} INTERFACE ${ARG_DEPENDS})
    endif()
endfunction()

# What every test process hands the sanitizers (ignored by builds without them).
set(VRA_SANITIZER_OPTIONS
    "TSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/Tests/tsan.supp:max_allocation_size_mb=1024"
    "LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/Tests/lsan.supp"
    "ASAN_OPTIONS=max_allocation_size_mb=1024")
# Under the race detector Mesa's software rasteriser draws on the calling thread: its own
# threads' fences are the only reports it makes, and no suppression can name them alone
# (Tests/tsan.supp).
if(CMAKE_CXX_FLAGS MATCHES "sanitize=thread")
    list(APPEND VRA_SANITIZER_OPTIONS "LP_NUM_THREADS=0")
endif()

# vra_add_test_suite(<name> <test dir> <libraries...>)
# One test executable per library: every .cpp below <test dir>, registered with CTest test by test.
function(vra_add_test_suite name dir)
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${dir}/*.cpp)
    if(NOT sources)
        return()
    endif()
    add_executable(${name} ${sources})
    target_link_libraries(${name} PRIVATE ${ARGN} TestSupport GTest::gtest GTest::gmock GTest::gtest_main)
    vra_project_warnings(${name})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    # GPU tests run on the software renderer without a display; audio renders into memory.
    # The variables reach each test through "cmake -E env": gtest_discover_tests flattens a list
    # given as the ENVIRONMENT property, which would keep only the first variable.
    # The sanitizers skip what they report inside uninstrumented system libraries (Tests/tsan.supp,
    # Tests/lsan.supp), and stop any single allocation past 1 GiB: no test needs one, and a loader
    # that takes a damaged file's word for its size would ask for many.
    set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR
        "${CMAKE_COMMAND};-E;env;SDL_VIDEODRIVER=offscreen;SDL_AUDIODRIVER=dummy;VRA_SOURCE_DIR=${CMAKE_SOURCE_DIR};VRA_BIN_DIR=${VRA_BIN_DIR};${VRA_SANITIZER_OPTIONS}")
    # The soak runs as tests of its own (Tests/CMakeLists.txt), not one per discovered test.
    gtest_discover_tests(${name}
        TEST_FILTER "-GameSoak.*"
        WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/tests
        DISCOVERY_TIMEOUT 60
        PROPERTIES TIMEOUT 300)
endfunction()
