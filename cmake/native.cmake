# Native build: the portable core, its unit tests and the benchmarks.
find_package(GTest REQUIRED)
include(GoogleTest)

option(PIKORA_FUZZ "Build the libFuzzer targets of the core (clang only)" OFF)

if(PIKORA_SANITIZE OR PIKORA_FUZZ)
  set(PIKORA_SAN_FLAGS -fsanitize=address,undefined -fno-omit-frame-pointer
                       -fno-sanitize-recover=undefined)
  target_compile_options(pikora_core PUBLIC ${PIKORA_SAN_FLAGS})
  target_link_options(pikora_core PUBLIC ${PIKORA_SAN_FLAGS})
endif()

pikora_source_dir(PIKORA_UNIT_DIR ${CMAKE_SOURCE_DIR}/tests/unit)
file(GLOB PIKORA_UNIT_SOURCES CONFIGURE_DEPENDS tests/unit/*.cpp)
if(PIKORA_UNIT_SOURCES)
  pikora_source_files(PIKORA_UNIT_SOURCES ${PIKORA_UNIT_SOURCES})
  add_executable(pikora_unit ${PIKORA_UNIT_SOURCES})
  target_compile_options(pikora_unit PRIVATE ${PIKORA_WARNINGS})
  if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    # The tests assign an object to itself on purpose.
    target_compile_options(pikora_unit PRIVATE -Wno-self-assign-overloaded)
  endif()
  target_link_libraries(pikora_unit PRIVATE pikora_core GTest::gtest GTest::gtest_main GTest::gmock)
  target_compile_definitions(pikora_unit
    PRIVATE PIKORA_TEST_DATA_DIR="${CMAKE_SOURCE_DIR}/tests/unit/data")
  gtest_discover_tests(pikora_unit DISCOVERY_TIMEOUT 60)
endif()

# GCC's -fexec-charset is what builds the program; the copies other compilers
# read must give the very same bytes. Compiles every source with a converted
# literal both ways, as this tree compiles it, and compares the assembly.
# The program's sources only: GoogleTest prints an assertion's spelling, which
# differs in the copies by nature.
if(NOT PIKORA_CP932_COPIES AND TARGET Python3::Interpreter)
  add_test(NAME Cp932Literals.CopiesGiveTheBytesOfExecCharset
    COMMAND Python3::Interpreter ${PIKORA_CP932_TOOL} compare
            ${CMAKE_BINARY_DIR}/compile_commands.json ${CMAKE_SOURCE_DIR}/src)
endif()

if(PIKORA_FUZZ)
  include(cmake/fuzz.cmake)
endif()

if(PIKORA_BENCH)
  find_package(benchmark REQUIRED)
  file(GLOB PIKORA_BENCH_SOURCES CONFIGURE_DEPENDS bench/*_bench.cpp)
  foreach(src ${PIKORA_BENCH_SOURCES})
    get_filename_component(name ${src} NAME_WE)
    add_executable(${name} ${src})
    target_compile_options(${name} PRIVATE ${PIKORA_WARNINGS})
    target_link_libraries(${name} PRIVATE pikora_core benchmark::benchmark)
  endforeach()
endif()
