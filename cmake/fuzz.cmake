# libFuzzer targets: one executable per fuzz/<name>.cpp, built as build-fuzz/fuzz/<name> by the
# custom target `fuzzers`. The library objects are instrumented for coverage and sanitizers
# without libFuzzer's main, which only the fuzz executables link.
if(NOT TESK_FUZZ)
  return()
endif()
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "TESK_FUZZ needs clang: configure with CC=clang CXX=clang++")
endif()

set(TESK_FUZZ_FLAGS -fsanitize=fuzzer,address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
target_compile_options(tesk_core PRIVATE -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                       -fno-sanitize-recover=all)

file(GLOB TESK_FUZZ_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/fuzz/*.cpp)
add_custom_target(fuzzers)
foreach(source ${TESK_FUZZ_SOURCES})
  get_filename_component(name ${source} NAME_WE)
  add_executable(${name} ${source} $<TARGET_OBJECTS:tesk_core>)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/include ${TESK_GENERATED_INCLUDE_DIR}
                             ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PRIVATE nlohmann_json::nlohmann_json pugixml::pugixml Threads::Threads
                        CURL::libcurl OpenSSL::Crypto)
  target_compile_options(${name} PRIVATE ${TESK_FUZZ_FLAGS})
  target_link_options(${name} PRIVATE ${TESK_FUZZ_FLAGS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz EXCLUDE_FROM_ALL ON)
  add_dependencies(fuzzers ${name})
endforeach()
