# Native build: the portable core, its unit tests and the benchmarks.
find_package(GTest REQUIRED)
include(GoogleTest)

if(PIKORA_SANITIZE)
  set(PIKORA_SAN_FLAGS -fsanitize=address,undefined -fno-omit-frame-pointer
                       -fno-sanitize-recover=undefined)
  target_compile_options(pikora_core PUBLIC ${PIKORA_SAN_FLAGS})
  target_link_options(pikora_core PUBLIC ${PIKORA_SAN_FLAGS})
endif()

file(GLOB PIKORA_UNIT_SOURCES CONFIGURE_DEPENDS tests/unit/*.cpp)
if(PIKORA_UNIT_SOURCES)
  add_executable(pikora_unit ${PIKORA_UNIT_SOURCES})
  target_compile_options(pikora_unit PRIVATE ${PIKORA_WARNINGS})
  target_link_libraries(pikora_unit PRIVATE pikora_core GTest::gtest GTest::gtest_main GTest::gmock)
  gtest_discover_tests(pikora_unit DISCOVERY_TIMEOUT 60)
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
