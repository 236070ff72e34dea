// scratch_directory.h -- a fresh working directory with Data/ linked in, as the real game expects
// it, for every program that starts the game: the harness, the soak and the benchmarks.
#pragma once
#include <string>

// Sets the dummy SDL drivers unless the environment chose others, makes a directory from
// `pattern` (mkdtemp style), links the generated Data/ into it and changes into it; aborts if it cannot.
std::string enter_scratch_directory(const char* pattern);
void remove_scratch_directory(const std::string& path);
