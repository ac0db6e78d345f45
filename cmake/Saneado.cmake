# Checked builds, off by default.
#   PARTIDEX_SANEADO=ON  everything built with AddressSanitizer and UndefinedBehaviorSanitizer; undefined
#                        behaviour stops the program, so a test that reaches it fails.
#   PARTIDEX_FUZZ=ON     (clang only) the same, plus coverage for libFuzzer in every library and the fuzz
#                        targets under fuzz/. One build then serves both the checked suite and the fuzzing.
option(PARTIDEX_SANEADO "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(PARTIDEX_FUZZ "Build the libFuzzer targets (clang; implies PARTIDEX_SANEADO)" OFF)

if(PARTIDEX_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "PARTIDEX_FUZZ needs clang: configure with -DCMAKE_CXX_COMPILER=clang++")
  endif()
  set(PARTIDEX_SANEADO ON CACHE BOOL "" FORCE)
endif()

if(PARTIDEX_SANEADO)
  set(saneado -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_compile_options(${saneado})
  add_link_options(${saneado})
endif()
if(PARTIDEX_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
