// startup_bench.cpp -- how long the game takes from process start until startup_game returns,
// headless, and how much memory such a process needs at its peak.
//
// Every iteration starts this program again as a child that only runs startup_game (and then
// shutdown_game) in a prepared directory. The parent reads the clock just before the child is
// spawned, the child reads the same system-wide clock when startup_game returns, so the figure
// includes loading the program and its libraries. The child's peak resident size comes from
// wait4. A second benchmark spawns the same program to return at once from main, which is the
// floor that loading the program and its shared libraries sets.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "shell/startup.h"

extern char** environ;

namespace {

const char child_flag[] = "--startup-child";
const char empty_child_flag[] = "--empty-child";
std::string self_path;
std::string directory;

long long monotonic_ns()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000000000LL + now.tv_nsec;
}

// The child: start the game (unless it is the empty one), report when main began and when
// start-up returned, shut down.
int run_child(bool empty, const char* where, int report_fd)
{
    long long entered = monotonic_ns();
    if (chdir(where) != 0)
        return 3;
    if (!empty)
        startup_game();
    long long ready = monotonic_ns();
    long long times[2] = {entered, ready};
    ssize_t written = write(report_fd, times, sizeof times);
    close(report_fd);
    if (!empty)
        shutdown_game();
    return written == static_cast<ssize_t>(sizeof times) ? 0 : 4;
}

struct ChildRun {
    bool ok;
    double total_ms;     // spawn to the return of startup_game
    double in_main_ms;   // main() to the return of startup_game
    long peak_kb;
};

ChildRun spawn_child(const char* flag)
{
    ChildRun run = {false, 0, 0, 0};
    int fds[2];
    if (pipe(fds) != 0)
        return run;
    std::string fd_text = std::to_string(fds[1]);
    char* argv[] = {const_cast<char*>(self_path.c_str()), const_cast<char*>(flag),
                    const_cast<char*>(directory.c_str()), const_cast<char*>(fd_text.c_str()), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    long long spawned = monotonic_ns();
    pid_t pid = 0;
    int failed = posix_spawn(&pid, self_path.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (failed) {
        close(fds[0]);
        return run;
    }
    long long times[2] = {0, 0};
    ssize_t got = read(fds[0], times, sizeof times);
    close(fds[0]);
    int status = 0;
    rusage usage;
    std::memset(&usage, 0, sizeof usage);
    wait4(pid, &status, 0, &usage);
    run.ok = got == static_cast<ssize_t>(sizeof times) && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    run.total_ms = (times[1] - spawned) / 1e6;
    run.in_main_ms = (times[1] - times[0]) / 1e6;
    run.peak_kb = usage.ru_maxrss;
    return run;
}

void run_children(benchmark::State& state, const char* flag)
{
    double in_main_sum = 0;
    double total_max = 0;
    long peak_kb = 0;
    int runs = 0;
    for (auto _ : state) {
        ChildRun run = spawn_child(flag);
        if (!run.ok) {
            state.SkipWithError("the child did not start up (see logfile.txt in the bench directory)");
            break;
        }
        state.SetIterationTime(run.total_ms / 1e3);
        in_main_sum += run.in_main_ms;
        total_max = std::max(total_max, run.total_ms);
        peak_kb = std::max(peak_kb, run.peak_kb);
        runs++;
    }
    if (runs > 0) {
        state.counters["in_main_ms"] = in_main_sum / runs;
        state.counters["slowest_ms"] = total_max;
        state.counters["peak_rss_MB"] = peak_kb / 1024.0;
    }
}
// From spawning the process to the return of startup_game; in_main_ms is the part after main.
void start_up(benchmark::State& state)
{
    run_children(state, child_flag);
}
BENCHMARK(start_up)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(40)->Repetitions(3);

// From spawning the same program to its main: the dynamic loader and the libraries' own set-up.
void process_start_only(benchmark::State& state)
{
    run_children(state, empty_child_flag);
}
BENCHMARK(process_start_only)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(40)->Repetitions(3);

// A private directory holding only a link to the assets, as the game finds them in real use.
bool prepare_directory()
{
    char path[] = "/tmp/umbra-startup-bench-XXXXXX";
    if (!mkdtemp(path))
        return false;
    directory = path;
    return symlink(UMBRA_DATA_DIR, (directory + "/Data").c_str()) == 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], child_flag) == 0)
        return run_child(false, argv[2], std::atoi(argv[3]));
    if (argc == 4 && std::strcmp(argv[1], empty_child_flag) == 0)
        return run_child(true, argv[2], std::atoi(argv[3]));

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    char exe[4096];
    ssize_t length = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (length <= 0 || !prepare_directory()) {
        std::fprintf(stderr, "cannot prepare the benchmark\n");
        return 1;
    }
    exe[length] = '\0';
    self_path = exe;
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::string command = "rm -rf '" + directory + "'";
    if (std::system(command.c_str()) != 0)
        std::fprintf(stderr, "could not remove %s\n", directory.c_str());
    return 0;
}
