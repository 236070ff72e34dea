# runtime.cmake -- the link options every wasm program on the sdl12on2 layer needs, the site's game
# and the benchmarks alike: UMBRA_WEB_RUNTIME_OPTIONS.
file(WRITE ${CMAKE_BINARY_DIR}/library_funcs.txt "$autoResumeAudioContext\n$dynCall\n")
set(UMBRA_WEB_RUNTIME_OPTIONS
  # The game's loops never return to the browser; the layer yields from inside them.
  -sASYNCIFY
  # The unwound call stack of a poll deep in a battle (victory box, statistics, waits).
  -sASYNCIFY_STACK_SIZE=65536
  -sALLOW_MEMORY_GROWTH=1
  # Emscripten's own SDL emulation must never stand in for a layer function.
  -sAUTO_JS_LIBRARIES=0
  -lhtml5.js
  # Mix_OpenAudio hangs without these two; their "$" does not survive the link line, so they go
  # through a file.
  -sDEFAULT_LIBRARY_FUNCS_TO_INCLUDE=@${CMAKE_BINARY_DIR}/library_funcs.txt)
