# The image object, its PNG reader and the tooltip bubble (included by CMakeLists.txt).

# Image decoding and compositing arithmetic, built for the host too.
add_library(tarvo_image_core STATIC inflate.cpp png_parser.cpp image_compose.cpp)
target_link_libraries(tarvo_image_core PUBLIC tarvo_common_core)

if(TARVO_FUZZ)
  # Coverage feedback for the fuzzer comes from the library itself.
  target_compile_options(tarvo_image_core PRIVATE -fsanitize=fuzzer-no-link)
  # libFuzzer target over the PNG reader; run it with tools/fuzz_png.sh.
  add_executable(fuzz_png png_fuzz_target.cpp)
  target_compile_options(fuzz_png PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_options(fuzz_png PRIVATE -fsanitize=fuzzer,address,undefined)
  find_package(ZLIB REQUIRED)
  target_link_libraries(fuzz_png PRIVATE tarvo_image_core ZLIB::ZLIB)
endif()
