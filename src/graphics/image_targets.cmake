# The PNG fuzz target and the files the image object needs at run time (included by CMakeLists.txt).

if(TARVO_FUZZ)
  # Coverage feedback for the fuzzer comes from the library itself.
  target_compile_options(tarvo_graphics_core PRIVATE -fsanitize=fuzzer-no-link)
  # libFuzzer target over the PNG reader; run it with tools/fuzz_png.sh.
  add_executable(fuzz_png png_fuzz_target.cpp)
  target_compile_options(fuzz_png PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_options(fuzz_png PRIVATE -fsanitize=fuzzer,address,undefined)
  find_package(ZLIB REQUIRED)
  target_link_libraries(fuzz_png PRIVATE tarvo_graphics_core ZLIB::ZLIB)
endif()

if(TARVO_WINDOWS)
  # The zlib the program ships beside itself, and the logo the splash loads.
  set(TARVO_ZLIB_DLL /usr/x86_64-w64-mingw32/lib/zlib1.dll CACHE FILEPATH "zlib1.dll shipped beside the program")
  if(EXISTS ${TARVO_ZLIB_DLL})
    file(COPY ${TARVO_ZLIB_DLL} DESTINATION ${CMAKE_BINARY_DIR}/bin)
  endif()
  file(COPY ${PROJECT_SOURCE_DIR}/resources/tarvo2logo.png DESTINATION ${CMAKE_BINARY_DIR}/bin)
endif()
