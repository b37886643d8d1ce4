# Copies of the sources with every narrow literal spelled as code page 932
# bytes, for compilers that have no -fexec-charset (clang): see
# tools/cp932_literals.py. The copies are build output under
# ${PIKORA_CP932_DIR}, mirroring the source tree; headers are copied too, and
# that folder replaces src/ on the include path, so every file a compilation
# reads is a copy.
# A GCC build needs Python only for the native tree's check of the copies.
if(PIKORA_CP932_COPIES)
  find_package(Python3 REQUIRED COMPONENTS Interpreter)
else()
  find_package(Python3 COMPONENTS Interpreter)
endif()
set(PIKORA_CP932_DIR ${CMAKE_BINARY_DIR}/cp932)
set(PIKORA_CP932_TOOL ${CMAKE_SOURCE_DIR}/tools/cp932_literals.py)

# pikora_source_files(OUT_VAR FILE...): the files themselves, or their copies.
function(pikora_source_files out_var)
  if(NOT PIKORA_CP932_COPIES)
    set(${out_var} ${ARGN} PARENT_SCOPE)
    return()
  endif()
  set(copies)
  foreach(src ${ARGN})
    file(RELATIVE_PATH rel ${CMAKE_SOURCE_DIR} ${src})
    set(copy ${PIKORA_CP932_DIR}/${rel})
    add_custom_command(OUTPUT ${copy}
      COMMAND Python3::Interpreter ${PIKORA_CP932_TOOL} ${src} ${copy}
      DEPENDS ${src} ${PIKORA_CP932_TOOL}
      COMMENT "CP932 literals: ${rel}" VERBATIM)
    list(APPEND copies ${copy})
  endforeach()
  set(${out_var} ${copies} PARENT_SCOPE)
endfunction()

# pikora_source_dir(OUT_VAR DIR): DIR, or the folder of its copies.
function(pikora_source_dir out_var dir)
  if(PIKORA_CP932_COPIES)
    file(RELATIVE_PATH rel ${CMAKE_SOURCE_DIR} ${dir})
    set(${out_var} ${PIKORA_CP932_DIR}/${rel} PARENT_SCOPE)
  else()
    set(${out_var} ${dir} PARENT_SCOPE)
  endif()
endfunction()

# Every header a copied source may include, copied before anything compiles.
if(PIKORA_CP932_COPIES)
  file(GLOB _pikora_headers CONFIGURE_DEPENDS
    ${CMAKE_SOURCE_DIR}/src/*/*.h ${CMAKE_SOURCE_DIR}/tests/unit/*.h
    ${CMAKE_SOURCE_DIR}/tests/fuzz/*.h)
  pikora_source_files(_pikora_header_copies ${_pikora_headers})
  add_custom_target(pikora_cp932_headers DEPENDS ${_pikora_header_copies})
endif()
