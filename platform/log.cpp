// log.cpp -- the plain-text log: one flushed line per call, so it survives an abnormal end.
#include "platform/log.h"

#include <cstdarg>
#include <cstdlib>

#include "shell/startup.h"

FILE* log_file = nullptr;

int open_log(const char* path)
{
    log_file = std::fopen(path, "w");
    return log_file ? 0 : -1;
}

static int write_line(const char* format, va_list args)
{
    if (!log_file)
        return -1;
    int written = std::vfprintf(log_file, format, args);
    std::fputc('\n', log_file);
    std::fflush(log_file);
    return written;
}

int log_line(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    int written = write_line(format, args);
    va_end(args);
    return written;
}

void fatal_error(const char* format, ...)
{
    if (log_file) {
        va_list args;
        va_start(args, format);
        write_line(format, args);
        va_end(args);
        log_line("--controlled exit due to error--");
    }
    shutdown_game();
    // Mended: a failed start ends with status 1, so shells and launchers do not take it for success.
    std::exit(1);
}

int close_log()
{
    if (log_file) {
        std::fflush(log_file);
        std::fclose(log_file);
        log_file = nullptr;
    }
    return -1;
}

int log_banner()
{
    log_line("Umbrafront Tandem");
    log_line("----------------------------");
    log_line("Version : %s, Started : %s", "0.1", "21.01.08");
    log_line("Author : %s", "the Umbrafront team");
    log_line("----------------------------");
    log_line("%s", "");
    return 1;
}
