# Benchmarks of the image code (included by CMakeLists.txt).
if(TARVO_WINDOWS)
  add_executable(bench_graphics_png graphics_png_bench.cpp)
  target_link_libraries(bench_graphics_png PRIVATE tarvo_graphics)
endif()
