# Build helpers shared by every folder: compiler flags, libraries, tests.
include_guard(GLOBAL)

if(TLV_SANITIZE)
  # float-cast-overflow is not part of "undefined": a float beyond the range
  # of the integer it is converted to must be caught as well.
  add_compile_options(
    "$<$<COMPILE_LANGUAGE:C,CXX>:-fsanitize=address,undefined,float-cast-overflow;-fno-omit-frame-pointer;-fno-sanitize-recover=all>")
  add_link_options(-fsanitize=address,undefined,float-cast-overflow)
endif()

if(WIN32)
  # A bare Windows has no MinGW runtime: link it in.
  add_link_options(-static -static-libgcc -static-libstdc++)
  add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
                          _WIN32_WINNT=0x0601 WINVER=0x0601)
endif()

# GCC's generic x86 tuning clears any fixed size above 64 bytes, and
# copies a length it knows only a small bound of, with "rep stos" or
# "rep movs", whose start-up costs tens of cycles; lines and block records
# (128 and 233 bytes) are cleared and copied once per line and per block.
# Clears of up to 256 bytes become vector stores; other clears and copies
# of unknown length go to the library, which picks its method by length.
# Fixed small copies stay inline.
include(CheckCXXCompilerFlag)
set(TLV_STRING_STRATEGY
    "-mmemset-strategy=vector_loop:256:noalign,libcall:-1:noalign;-mmemcpy-strategy=libcall:-1:noalign")
check_cxx_compiler_flag("${TLV_STRING_STRATEGY}" TLV_HAS_STRING_STRATEGY)

# Our targets: sources are UTF-8 and narrow literals become CP932 bytes;
# warnings are errors. A text that CP932 cannot hold fails the build. For
# that reason our code does not include <chrono> (libstdc++'s C++20 header
# holds a "µs" literal that CP932 lacks); third-party code keeps its own
# character set.
function(tlv_target_defaults target)
  target_compile_options(${target} PRIVATE
    "$<$<COMPILE_LANGUAGE:C,CXX>:-finput-charset=UTF-8;-fexec-charset=CP932>"
    "$<$<COMPILE_LANGUAGE:CXX>:-Wall;-Wextra;-Werror>")
  if(TLV_HAS_STRING_STRATEGY)
    target_compile_options(${target} PRIVATE "$<$<COMPILE_LANGUAGE:CXX>:${TLV_STRING_STRATEGY}>")
  endif()
  target_include_directories(${target} PUBLIC "${PROJECT_SOURCE_DIR}")
endfunction()

# tlv_add_library(name SOURCES ... [LIBS ...])
function(tlv_add_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  tlv_target_defaults(${name})
  if(ARG_LIBS)
    target_link_libraries(${name} PUBLIC ${ARG_LIBS})
  endif()
endfunction()

function(tlv_find_googletest)
  if(WIN32)
    # Debian's googletest sources, built with the cross compiler.
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest/googletest
                     "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL)
    if(NOT TARGET GTest::gtest_main)
      add_library(GTest::gtest ALIAS gtest)
      add_library(GTest::gtest_main ALIAS gtest_main)
    endif()
  else()
    find_package(GTest REQUIRED)
  endif()
endfunction()

# At file scope: the discovery script path it sets must stay visible.
include(GoogleTest)

# tlv_add_test(name SOURCES ... LIBS ... [GUI] [RESOURCES rc...])
# One test executable per source folder. Under Wine every process start is
# expensive, so there the executable runs as one test; natively each case is
# its own test. GUI tests share one desktop and run one at a time.
function(tlv_add_test name)
  cmake_parse_arguments(ARG "GUI" "" "SOURCES;LIBS;RESOURCES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES} ${ARG_RESOURCES})
  tlv_target_defaults(${name})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest_main)
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
    set_tests_properties(${name} PROPERTIES
      ENVIRONMENT "TLV_SOURCE_DIR=${PROJECT_SOURCE_DIR}" TIMEOUT 600)
    if(ARG_GUI)
      set_tests_properties(${name} PROPERTIES RESOURCE_LOCK desktop)
    endif()
  else()
    gtest_discover_tests(${name}
      DISCOVERY_MODE PRE_TEST
      PROPERTIES ENVIRONMENT "TLV_SOURCE_DIR=${PROJECT_SOURCE_DIR}" TIMEOUT 300)
  endif()
endfunction()
