# Native (Linux) build of the portable code: the XML parser, Url, the HTTP
# message texts and body framing, and the channel reading, with their unit
# tests under AddressSanitizer and UndefinedBehaviorSanitizer, the libFuzzer
# targets and the parser benchmark.
# Included by the top-level CMakeLists.txt when the compiler does not target
# Windows, after quillfeed_portable (with xml/) is defined.
#
#   scripts/test-native   sanitizer tests and the short fuzz runs (clang)
#   scripts/bench-parser  Release build of the benchmark, no sanitizers

option(QF_SANITIZE "Build the native code with ASan and UBSan" ON)
option(QF_FUZZ "Build the libFuzzer targets (clang with QF_SANITIZE)" ON)
option(QF_BENCH "Build the parser benchmark (Google Benchmark and the other parsers)" OFF)

# net/ and rss/ are part of the Windows build only; Url, the HTTP message
# texts, the framing and decoding of a body, and the reading of a channel from
# it are plain text work. The CRT's _mktime64 and the code page conversion of
# MultiByteToWideChar have stand-ins in fuzz/compat.
target_sources(quillfeed_portable PRIVATE
    ${CMAKE_CURRENT_SOURCE_DIR}/net/ChunkedDecoder.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/net/ContentDecoder.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/net/HttpAnswer.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/net/HttpBody.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/net/HttpMessage.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/net/ProxyList.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/net/Url.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/net/UrlReference.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/rss/AtomReader.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/rss/ChannelItems.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/rss/ChannelReader.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/rss/CharacterReferences.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/rss/CodePages.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/rss/DocumentEncoding.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/rss/DocumentScope.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/rss/FeedDate.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/rss/FieldText.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/rss/HtmlEntities.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/rss/Iso2022Jp.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/rss/RssChannelReader.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/rss/WebPage.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/compat/IconvTextDecoding.cpp)
set_source_files_properties(${CMAKE_CURRENT_SOURCE_DIR}/rss/FeedDate.cpp PROPERTIES
    COMPILE_OPTIONS "-include;${CMAKE_CURRENT_SOURCE_DIR}/fuzz/compat/Time64.h")

# As in net/CMakeLists.txt: the User-Agent names the version, zlib inflates
# compressed bodies (the system's shared one here).
target_compile_definitions(quillfeed_portable PRIVATE QF_VERSION_TEXT="${PROJECT_VERSION}")
find_package(ZLIB REQUIRED)
find_package(Threads REQUIRED)
target_link_libraries(quillfeed_portable PUBLIC ZLIB::ZLIB Threads::Threads)

if(QF_SANITIZE)
    # Every report is fatal, so a test or fuzz run cannot pass over one.
    set(QF_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    # Targets made from here on (GoogleTest, tests, fuzzers) and the portable
    # library made before this file was read.
    add_compile_options(${QF_SANITIZER_FLAGS} -g)
    add_link_options(${QF_SANITIZER_FLAGS})
    target_compile_options(quillfeed_portable PRIVATE ${QF_SANITIZER_FLAGS} -g)
endif()

set(QF_FUZZ_ENABLED OFF)
if(QF_FUZZ AND QF_SANITIZE AND CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    set(QF_FUZZ_ENABLED ON)
    # Coverage feedback for libFuzzer from the code under test; the sanitizer
    # runtime supplies the hooks when no fuzzer is linked (the unit tests).
    target_compile_options(quillfeed_portable PRIVATE -fsanitize=fuzzer-no-link)
elseif(QF_FUZZ AND QF_SANITIZE)
    message(STATUS "Fuzz targets need clang (CMAKE_CXX_COMPILER=clang++); not built")
endif()

# The link resolution's time on hostile links: its full run is in
# scripts/bench-parser, a smoke run in the tests.
add_executable(qf_link_bench ${CMAKE_CURRENT_SOURCE_DIR}/bench/LinkBench.cpp)
target_link_libraries(qf_link_bench PRIVATE quillfeed_portable)

# Peak memory of reading hostile bodies: the full run is `qf_parse_memory` on
# 32 MiB bodies in a Release build without sanitizers, a smoke run in the tests.
add_executable(qf_parse_memory ${CMAKE_CURRENT_SOURCE_DIR}/bench/ParseMemory.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/bench/AllocationCounter.cpp ${CMAKE_CURRENT_SOURCE_DIR}/bench/FeedGenerator.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/bench/HostileBodies.cpp)
target_link_libraries(qf_parse_memory PRIVATE quillfeed_portable)

if(QF_BUILD_TESTS)
    enable_testing()
    set(QF_GTEST_SOURCE_DIR "/usr/src/googletest" CACHE PATH "GoogleTest source tree")
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(${QF_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    foreach(gt gtest gtest_main gmock gmock_main)
        if(TARGET ${gt})
            target_compile_options(${gt} PRIVATE -w) # third-party code
        endif()
    endforeach()
    include(GoogleTest)

    # The native counterpart of tests/CMakeLists.txt's qf_add_test: the same
    # test sources, linked with the portable code only, run directly.
    function(qf_add_test name)
        add_executable(${name} ${ARGN})
        target_link_libraries(${name} PRIVATE quillfeed_portable GTest::gtest_main)
        target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests/support)
        target_compile_definitions(${name} PRIVATE QF_TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/data")
        gtest_discover_tests(${name} TEST_PREFIX "native." DISCOVERY_TIMEOUT 120 PROPERTIES TIMEOUT 300)
    endfunction()

    add_subdirectory(${CMAKE_CURRENT_SOURCE_DIR}/tests/xml ${CMAKE_BINARY_DIR}/tests/xml)
    add_subdirectory(${CMAKE_CURRENT_SOURCE_DIR}/tests/rss ${CMAKE_BINARY_DIR}/tests/rss)
    # tests/net holds the Windows-only HTTP tests too; its Url cases are files of their own.
    qf_add_test(url_tests ${CMAKE_CURRENT_SOURCE_DIR}/tests/net/UrlTest.cpp
        ${CMAKE_CURRENT_SOURCE_DIR}/tests/net/UrlReferenceTest.cpp
        ${CMAKE_CURRENT_SOURCE_DIR}/tests/net/ProxyListTest.cpp)

    add_test(NAME native.bench.LinkSmoke COMMAND qf_link_bench 1)
    add_test(NAME native.bench.ParseMemorySmoke COMMAND qf_parse_memory 0.25)
    set_tests_properties(native.bench.ParseMemorySmoke PROPERTIES PASS_REGULAR_EXPRESSION "largest peak")

    if(QF_FUZZ_ENABLED)
        add_subdirectory(${CMAKE_CURRENT_SOURCE_DIR}/fuzz ${CMAKE_BINARY_DIR}/fuzz)
    endif()
endif()

if(QF_BENCH)
    add_subdirectory(${CMAKE_CURRENT_SOURCE_DIR}/bench ${CMAKE_BINARY_DIR}/bench)
endif()
