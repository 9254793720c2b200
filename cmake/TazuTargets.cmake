# Helpers shared by every folder: our own warnings and sanitizer flags.

if(TAZU_SANITIZE)
  set(TAZU_SANITIZER_FLAGS -fsanitize=address,undefined -fno-omit-frame-pointer
      -fno-sanitize-recover=undefined)
  add_compile_options(${TAZU_SANITIZER_FLAGS})
  add_link_options(-fsanitize=address,undefined)
endif()

# tazu_target_defaults(<target>): warnings (as errors) and the repository root on
# the include path, so code writes #include "core/UGlobal.h".
function(tazu_target_defaults target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  # GCC 12 reports std::string copies as overlapping memcpy at -O3 (its bug
  # 105329); the warning says nothing about our code.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(${target} PRIVATE -Wno-restrict)
  endif()
  if(TAZU_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
  get_target_property(kind ${target} TYPE)
  if(kind STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE ${PROJECT_SOURCE_DIR})
  else()
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
  endif()
endfunction()

# tazu_library(<name> SOURCES ... [DEPS ...]): one static library per folder.
function(tazu_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  tazu_target_defaults(${name})
  # Whoever includes our headers needs C++20 too.
  target_compile_features(${name} PUBLIC cxx_std_20)
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
endfunction()
