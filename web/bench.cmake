# bench.cmake -- the benchmarks (bench/) linked to WebAssembly for node on the sdl12on2 layer, so
# that scripts/web-bench.sh can time them against the native ones in the same run. The top level
# includes this under emscripten when the benchmarks are on, in place of the site (web/).

if(NOT UMBRA_SDL_LAYER)
  message(FATAL_ERROR "The wasm benchmarks need the sdl12on2 layer: configure with -DUMBRA_SDL_LAYER=ON")
endif()
if(NOT benchmark_DIR)
  message(FATAL_ERROR "The wasm benchmarks need Google Benchmark built for emscripten: "
                      "-Dbenchmark_DIR=<its prefix>/lib/cmake/benchmark (scripts/web-bench.sh builds it). "
                      "The browser build itself is configured with -DUMBRA_BENCH=OFF.")
endif()
set(UMBRA_DATA_SOURCE "" CACHE PATH "The Data folder a native build generated (build/Data)")
if(NOT UMBRA_DATA_SOURCE OR NOT EXISTS "${UMBRA_DATA_SOURCE}/arcadepi.ttf")
  message(FATAL_ERROR "UMBRA_DATA_SOURCE must name the Data folder of a native build (e.g. build/Data), "
                      "not \"${UMBRA_DATA_SOURCE}\"")
endif()

# The programs read the native build's Data in place: node gives them the real file system.
set(UMBRA_DATA_DIR ${UMBRA_DATA_SOURCE})
# bench/ waits for the generated Data; here they are ready-made.
if(NOT TARGET assets)
  add_custom_target(assets)
endif()

include(${CMAKE_CURRENT_LIST_DIR}/runtime.cmake)
# For every target made from here on, that is the benchmarks: the browser build's runtime, with
# node's file system, environment and exit instead of the page's.
add_link_options(
  ${UMBRA_WEB_RUNTIME_OPTIONS}
  -sENVIRONMENT=node
  # Node's own fetch cannot read a file path: the wasm is read and compiled at once instead.
  -sWASM_ASYNC_COMPILATION=0
  -sNODERAWFS=1
  -sEXIT_RUNTIME=1
  "SHELL:--pre-js ${CMAKE_CURRENT_LIST_DIR}/bench-pre.js")

add_subdirectory(bench)
# Relinked when the start-up file for node changes.
file(GLOB bench_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/*_bench.cpp)
foreach(src ${bench_sources})
  get_filename_component(name ${src} NAME_WE)
  set_property(TARGET ${name} APPEND PROPERTY LINK_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/bench-pre.js)
endforeach()
