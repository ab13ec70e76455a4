# Compiler flags of the fuzz configuration: every object carries the
# coverage instrumentation that libFuzzer steers by and the address and
# undefined-behaviour checks (float-to-int conversions included); the
# targets link the libFuzzer driver. Only clang has the instrumentation.
if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  message(FATAL_ERROR "TLV_FUZZ needs clang++ (scripts/build.sh fuzz sets it)")
endif()
set(TLV_FUZZ_SANITIZERS "address,undefined,float-cast-overflow")
add_compile_options(-fsanitize=fuzzer-no-link,${TLV_FUZZ_SANITIZERS}
                    -fno-sanitize-recover=all -fno-omit-frame-pointer -gline-tables-only)
# Lighter optimisation than the shipped build: faster to build and the
# sanitizer reports keep their frames.
set(CMAKE_CXX_FLAGS_RELWITHDEBINFO "-O1 -g")
set(CMAKE_C_FLAGS_RELWITHDEBINFO "-O1 -g")
