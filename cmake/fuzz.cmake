# libFuzzer targets of the core: tests/fuzz/<name>/<name>_fuzz.cpp, with its
# seeds (tests/fuzz/<name>/seeds) and dictionary (<name>.dict) beside it.
# tools/run-fuzz.sh builds and runs them (`make fuzz`).
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "PIKORA_FUZZ needs clang: libFuzzer is part of it")
endif()

# The core gets the coverage instrumentation; the fuzzer's main comes with
# each target's link.
target_compile_options(pikora_core PUBLIC -fsanitize=fuzzer-no-link)

pikora_source_dir(PIKORA_FUZZ_DIR ${CMAKE_SOURCE_DIR}/tests/fuzz)
file(GLOB PIKORA_FUZZ_SOURCES CONFIGURE_DEPENDS tests/fuzz/*/*_fuzz.cpp)
set(PIKORA_FUZZ_TARGETS)
foreach(src ${PIKORA_FUZZ_SOURCES})
  get_filename_component(name ${src} NAME_WE)
  pikora_source_files(compiled ${src})
  add_executable(${name} ${compiled})
  target_compile_options(${name} PRIVATE ${PIKORA_WARNINGS})
  target_include_directories(${name} PRIVATE ${PIKORA_FUZZ_DIR} ${PIKORA_UNIT_DIR})
  target_link_libraries(${name} PRIVATE pikora_core)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  list(APPEND PIKORA_FUZZ_TARGETS ${name})
endforeach()
add_custom_target(fuzzers DEPENDS ${PIKORA_FUZZ_TARGETS})
