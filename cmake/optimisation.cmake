# Link-time and profile-guided optimisation of the engine, each used only
# where the compiler offers it; a compiler without them builds the plain
# engine.
#
# MARROWBY_LTO=ON optimises across source files at link time.
#
# A profile-guided build takes two build directories. The first, configured
# with MARROWBY_PROFILE=GENERATE, builds an engine that records how often its
# code runs; its target "profile" runs that engine's bench (under the
# target's emulator when cross compiling) and leaves the record in
# MARROWBY_PROFILE_DIR. The second, configured with MARROWBY_PROFILE=USE and
# the same MARROWBY_PROFILE_DIR, optimises with the record, and rebuilds
# whenever the record is renewed.

option(MARROWBY_LTO "Optimise across source files at link time where the compiler supports it" OFF)
set(MARROWBY_PROFILE "" CACHE STRING "Profile-guided optimisation: GENERATE, USE or empty for none")
set_property(CACHE MARROWBY_PROFILE PROPERTY STRINGS "" GENERATE USE)
set(MARROWBY_PROFILE_DIR "${CMAKE_BINARY_DIR}/profile" CACHE PATH "Where the profile run writes its record")

if(MARROWBY_LTO)
  include(CheckIPOSupported)
  check_ipo_supported(RESULT LTO_SUPPORTED OUTPUT LTO_FAILURE LANGUAGES CXX)
  if(LTO_SUPPORTED)
    set_property(TARGET marrowby_engine marrowby PROPERTY INTERPROCEDURAL_OPTIMIZATION ON)
  else()
    message(STATUS "Link-time optimisation: not supported by this compiler, left out")
  endif()
endif()

# The record's last step: a file the use build's objects depend on.
set(PROFILE_STAMP ${MARROWBY_PROFILE_DIR}/trained)
set(PROFILE_COMPILERS GNU Clang)
if(MARROWBY_PROFILE AND (NOT CMAKE_CXX_COMPILER_ID IN_LIST PROFILE_COMPILERS OR EMSCRIPTEN))
  message(STATUS "Profile-guided optimisation: not offered for this compiler, left out")
  set(MARROWBY_PROFILE "")
endif()
if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  # Clang's record is merged into one file by the llvm-profdata of its own
  # version; without that tool there is no profile build.
  string(REGEX MATCH "^[0-9]+" CLANG_MAJOR "${CMAKE_CXX_COMPILER_VERSION}")
  find_program(LLVM_PROFDATA NAMES llvm-profdata-${CLANG_MAJOR} llvm-profdata)
  if(MARROWBY_PROFILE AND NOT LLVM_PROFDATA)
    message(STATUS "Profile-guided optimisation: llvm-profdata is missing, left out")
    set(MARROWBY_PROFILE "")
  endif()
  set(PROFILE_MERGED ${MARROWBY_PROFILE_DIR}/marrowby.profdata)
endif()

# Only the C++ sources take the flags: the Windows program's resources go
# through another compiler.
set(PROFILED_TARGETS marrowby_engine marrowby)
if(MARROWBY_PROFILE STREQUAL "GENERATE")
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    # The record is named after each object's path below the build
    # directory, so that the use build, in another directory, finds it.
    set(GENERATE_FLAGS -fprofile-generate=${MARROWBY_PROFILE_DIR} -fprofile-prefix-path=${CMAKE_BINARY_DIR})
    set(MERGE_COMMAND)
  else()
    set(GENERATE_FLAGS -fprofile-generate=${MARROWBY_PROFILE_DIR})
    set(MERGE_COMMAND COMMAND ${LLVM_PROFDATA} merge -output=${PROFILE_MERGED} ${MARROWBY_PROFILE_DIR})
  endif()
  foreach(target ${PROFILED_TARGETS})
    target_compile_options(${target} PRIVATE "$<$<COMPILE_LANGUAGE:CXX>:${GENERATE_FLAGS}>")
  endforeach()
  # Whatever links the recording library links its run-time support too.
  target_link_options(marrowby_engine INTERFACE ${GENERATE_FLAGS})
  add_custom_command(OUTPUT ${PROFILE_STAMP}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${MARROWBY_PROFILE_DIR}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${MARROWBY_PROFILE_DIR}
    COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:marrowby> bench > ${CMAKE_BINARY_DIR}/profile-run.txt
    ${MERGE_COMMAND}
    COMMAND ${CMAKE_COMMAND} -E touch ${PROFILE_STAMP}
    DEPENDS marrowby
    COMMENT "Recording a profile of the engine's bench in ${MARROWBY_PROFILE_DIR}")
  add_custom_target(profile DEPENDS ${PROFILE_STAMP})
else()
  # Nothing to record: the target exists so that a caller need not ask.
  add_custom_target(profile)
endif()
if(MARROWBY_PROFILE STREQUAL "USE")
  if(NOT EXISTS ${PROFILE_STAMP})
    message(FATAL_ERROR "No profile in ${MARROWBY_PROFILE_DIR}: build the target profile of a "
      "MARROWBY_PROFILE=GENERATE build with this MARROWBY_PROFILE_DIR first")
  endif()
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    # Code the bench never runs has no record; it is optimised as usual.
    set(USE_FLAGS -fprofile-use=${MARROWBY_PROFILE_DIR} -fprofile-prefix-path=${CMAKE_BINARY_DIR}
      -fprofile-partial-training -Wno-missing-profile)
  else()
    set(USE_FLAGS -fprofile-use=${PROFILE_MERGED} -Wno-profile-instr-unprofiled)
  endif()
  foreach(target ${PROFILED_TARGETS})
    target_compile_options(${target} PRIVATE "$<$<COMPILE_LANGUAGE:CXX>:${USE_FLAGS}>")
    get_target_property(sources ${target} SOURCES)
    set_property(SOURCE ${sources} APPEND PROPERTY OBJECT_DEPENDS ${PROFILE_STAMP})
  endforeach()
  # Link-time optimisation reads the record again.
  target_link_options(marrowby PRIVATE ${USE_FLAGS})
endif()
