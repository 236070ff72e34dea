// log_test.cpp -- the log file: what start-up wrote, and what each log operation returns and
// leaves in the file.
#include <SDL.h>
#include <sys/stat.h>

#include <fstream>
#include <string>
#include <vector>

#include "harness/harness.h"
#include "platform/log.h"

namespace {

std::vector<std::string> lines_of(const std::string& text)
{
    std::vector<std::string> lines;
    std::string::size_type start = 0;
    while (start < text.size()) {
        std::string::size_type end = text.find('\n', start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));  // an unterminated last line shows up as such
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

void write_text(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

// Every case works on a file of its own. The game's log is taken aside for the case and put back
// afterwards, so nothing here lands in it and the rest of the program logs where it did before.
struct LogFile : ::testing::Test {
    FILE* game_log = nullptr;
    std::string path;

    void SetUp() override
    {
        game_log = log_file;
        log_file = nullptr;
        path = test_directory() + "/" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".txt";
    }
    void TearDown() override
    {
        close_log();
        log_file = game_log;
    }
};

}  // namespace

TEST(GameLog, StartUpWroteTheBannerThenEveryStartUpLineInOrder)
{
    SDL_version compiled;
    SDL_VERSION(&compiled);
    const SDL_version* linked = SDL_Linked_Version();
    const std::vector<std::string> expected = {
        "Umbrafront Tandem",
        "----------------------------",
        "Version : 0.1, Started : 21.01.08",
        "",  // author: checked below
        "----------------------------",
        "",
        "Randomize",
        "Initiating SDL",
        "SDL compile-time version: " + std::to_string(compiled.major) + "." +
            std::to_string(compiled.minor) + "." + std::to_string(compiled.patch),
        "SDL runtime version: " + std::to_string(linked->major) + "." +
            std::to_string(linked->minor) + "." + std::to_string(linked->patch),
        "Videomode set",
        "Video info:",
        " - Video memory: " + std::to_string(SDL_GetVideoInfo()->video_mem),
        "Loading font",
        "Starting up mixer",
        "Creating buffers",
        "Loading sound effects and music",
        "Initiating vidkit",
        "Initiating joystick",
        "Done with init_vidkit",
        "Setting up units...",
        "startup_game done",
    };
    std::vector<std::string> lines = lines_of(read_file(test_directory() + "/logfile.txt"));
    ASSERT_GE(lines.size(), expected.size());
    for (size_t i = 0; i < expected.size(); i++) {
        if (i == 3) {
            EXPECT_EQ(lines[i].rfind("Author : ", 0), 0u) << lines[i];
            EXPECT_GT(lines[i].size(), std::string("Author : ").size()) << "the credit is empty";
        } else {
            EXPECT_EQ(lines[i], expected[i]) << "line " << i + 1;
        }
    }
}

TEST_F(LogFile, WithNoLogOpenNothingIsWrittenAndTheResultIsMinusOne)
{
    EXPECT_EQ(log_line("nobody reads this %d", 1), -1);
    EXPECT_EQ(log_line("%s", ""), -1);
    EXPECT_EQ(close_log(), -1);
    EXPECT_EQ(log_file, nullptr);

    // A failed open leaves the same state behind: a directory cannot be opened for writing.
    EXPECT_EQ(open_log(test_directory().c_str()), -1);
    EXPECT_EQ(log_file, nullptr);
    EXPECT_EQ(log_line("still nobody"), -1);
    EXPECT_EQ(open_log((test_directory() + "/no/such/directory/log.txt").c_str()), -1);
    EXPECT_EQ(log_line("still nobody"), -1);
}

TEST_F(LogFile, EachLineIsTheFormattedTextAndOneNewlineFlushedAtOnce)
{
    ASSERT_EQ(open_log(path.c_str()), 0);
    ASSERT_NE(log_file, nullptr);
    EXPECT_EQ(log_line("abc"), 3);
    EXPECT_EQ(log_line("%d-%s", 42, "xy"), 5);
    // The newline is added whatever the format holds: an empty format makes a lone newline, and
    // a format ending in a newline leaves an empty line behind it.
    const std::string empty_format;
    EXPECT_EQ(log_line(empty_format.c_str()), 0);
    EXPECT_EQ(log_line("ends\n"), 5);
    EXPECT_EQ(log_line("%s", "a percent %d stays"), 18);
    // Read while the log is still open: every line must already be on disk.
    EXPECT_EQ(read_file(path), "abc\n42-xy\n\nends\n\na percent %d stays\n");
}

TEST_F(LogFile, AfterCloseTheFileKeepsItsLinesAndLoggingStops)
{
    ASSERT_EQ(open_log(path.c_str()), 0);
    EXPECT_EQ(log_line("one"), 3);
    EXPECT_EQ(close_log(), -1);
    EXPECT_EQ(log_file, nullptr);
    EXPECT_EQ(log_line("two"), -1);
    EXPECT_EQ(close_log(), -1);
    EXPECT_EQ(read_file(path), "one\n");
}

TEST_F(LogFile, OpeningRewritesAnOldFile)
{
    write_text(path, "an older run\nwith two lines\n");
    ASSERT_EQ(open_log(path.c_str()), 0);
    // Truncated at once, before anything is logged.
    EXPECT_EQ(read_file(path), "");
    log_line("new");
    EXPECT_EQ(read_file(path), "new\n");
}

TEST_F(LogFile, TheBannerIsSixLinesEndingInAnEmptyOne)
{
    ASSERT_EQ(open_log(path.c_str()), 0);
    EXPECT_EQ(log_banner(), 1);
    std::string text = read_file(path);
    std::vector<std::string> lines = lines_of(text);
    ASSERT_EQ(lines.size(), 6u) << text;
    EXPECT_EQ(lines[0], "Umbrafront Tandem");
    EXPECT_EQ(lines[1], std::string(28, '-'));
    EXPECT_EQ(lines[2], "Version : 0.1, Started : 21.01.08");
    EXPECT_EQ(lines[3].rfind("Author : ", 0), 0u) << lines[3];
    EXPECT_EQ(lines[4], std::string(28, '-'));
    EXPECT_EQ(lines[5], "");
    EXPECT_EQ(text.substr(text.size() - 2), "\n\n");
}

TEST_F(LogFile, TheBannerWithoutALogWritesNothing)
{
    EXPECT_EQ(log_banner(), 1);
    struct stat info;
    EXPECT_NE(stat(path.c_str(), &info), 0) << "a file appeared: " << path;
}
