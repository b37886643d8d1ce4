# Win32 build: the framework layer, Pikora.exe and the tests that run under Wine.
enable_language(RC)

# A clean Windows has no MinGW runtime DLLs: link libgcc, libstdc++ and
# winpthread into every executable.
set(PIKORA_STATIC_LINK -static -static-libgcc -static-libstdc++)
set(PIKORA_WIN32_LIBS comctl32 comdlg32 shell32 winmm gdi32 user32 kernel32 advapi32 ole32 uuid)
add_compile_definitions(WINVER=0x0600 _WIN32_WINNT=0x0600 _WIN32_IE=0x0600 NOMINMAX STRICT)
# Release zips built from one commit must match byte for byte on any machine:
# no source or build folder in the programs (__FILE__, debug info) and no link
# time in the PE header. GCC applies the last matching map, so the build
# folder's comes after the source folder's that contains it. pikora_core
# exists already, hence its own line.
set(PIKORA_REPRODUCIBLE
  "$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${CMAKE_SOURCE_DIR}=.>"
  "$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${CMAKE_BINARY_DIR}=.>")
add_compile_options(${PIKORA_REPRODUCIBLE})
target_compile_options(pikora_core PRIVATE ${PIKORA_REPRODUCIBLE})
add_link_options(-Wl,--no-insert-timestamp)

file(GLOB PIKORA_UI_SOURCES CONFIGURE_DEPENDS src/ui/*.cpp)
add_library(pikora_ui STATIC ${PIKORA_UI_SOURCES})
target_include_directories(pikora_ui PUBLIC src)
target_compile_options(pikora_ui PUBLIC ${PIKORA_CHARSET} PRIVATE ${PIKORA_WARNINGS})
target_link_libraries(pikora_ui PUBLIC ${PIKORA_WIN32_LIBS})

file(GLOB PIKORA_APP_SOURCES CONFIGURE_DEPENDS src/app/*.cpp src/frame/*.cpp)
add_executable(Pikora WIN32 ${PIKORA_APP_SOURCES} ${PIKORA_MIXED_WIN32_SOURCES} src/res/Pikora.rc)
target_compile_options(Pikora PRIVATE ${PIKORA_WARNINGS})
target_link_libraries(Pikora PRIVATE pikora_core pikora_ui)
target_link_options(Pikora PRIVATE ${PIKORA_STATIC_LINK})
# windres reads the script as UTF-8 (the script also says so with its pragma).
set_source_files_properties(src/res/Pikora.rc PROPERTIES COMPILE_FLAGS "-c 65001")
set_target_properties(Pikora PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
# The default history sound and the read-me live beside the exe.
add_custom_command(TARGET Pikora POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_SOURCE_DIR}/src/res/pu.wav ${CMAKE_BINARY_DIR}/pu.wav
  COMMAND ${CMAKE_COMMAND} -E copy_if_different "${CMAKE_SOURCE_DIR}/src/res/まず読んでね!.html"
          "${CMAKE_BINARY_DIR}/まず読んでね!.html")

# The program a clean Windows starts as it is: GUI, this tree's architecture,
# no DLL beyond Windows' own. Needs no Wine, so it runs on every machine.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(PIKORA_WINDOWS_ARCH win64)
else()
  set(PIKORA_WINDOWS_ARCH win32)
endif()
add_test(NAME PikoraExe.IsAStandaloneWindowsGuiProgram
  COMMAND ${CMAKE_SOURCE_DIR}/tools/check-pe.sh ${CMAKE_OBJDUMP} $<TARGET_FILE:Pikora>
          ${PIKORA_WINDOWS_ARCH})
set_tests_properties(PikoraExe.IsAStandaloneWindowsGuiProgram PROPERTIES LABELS image)

# GoogleTest from Debian's source package, built for the cross target.
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# Every Wine test runs through this wrapper: private Xvfb, private prefix, ja_JP.
set(PIKORA_WINE_ENV ${CMAKE_SOURCE_DIR}/tests/e2e/wine-env)
# A prefix per build tree: two trees of one architecture can then run their
# suites at the same time, each with its own wineserver and X display.
set(PIKORA_TREE_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)

if(EXISTS ${CMAKE_SOURCE_DIR}/tests/ui/CMakeLists.txt)
  add_subdirectory(tests/ui)
endif()
if(EXISTS ${CMAKE_SOURCE_DIR}/tests/e2e/CMakeLists.txt)
  add_subdirectory(tests/e2e)
endif()
if(TARGET pikora_e2e_support)
  add_subdirectory(bench/latency)
endif()
