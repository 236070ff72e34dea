// log.h -- the plain-text log file and the fatal exit.
#pragma once
#include <cstdio>

extern FILE* log_file;  // the open log stream, or null

int open_log(const char* path);
int log_line(const char* format, ...) __attribute__((format(printf, 1, 2)));
[[noreturn]] void fatal_error(const char* format, ...) __attribute__((format(printf, 1, 2)));
int close_log();
int log_banner();
