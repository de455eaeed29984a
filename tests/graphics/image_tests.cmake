# Tests of the image object and its PNG reader (included by CMakeLists.txt).

if(NOT TARVO_WINDOWS)
  # The host's zlib produces the reference streams and serves as the "present" library.
  find_package(ZLIB REQUIRED)
  tarvo_add_test(image_core_test
    SOURCES png_parser_test.cpp inflate_test.cpp image_compose_test.cpp png_writer.cpp
    LIBS tarvo_graphics_core ZLIB::ZLIB)
endif()

if(TARVO_WINDOWS)
  tarvo_add_test(image_test SOURCES image_test.cpp ${PROJECT_SOURCE_DIR}/resources/tarvo.rc LIBS tarvo_graphics tarvo_test_support)
  target_include_directories(image_test PRIVATE ${PROJECT_SOURCE_DIR}/resources)
endif()
