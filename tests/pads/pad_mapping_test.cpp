// pad_mapping_test.cpp -- the mapping line rewrite over lines as SDL2's database and handheld
// makers write them, decoded field by field through SDL2's own names for its controller buttons:
// every control the game uses must land on the game's pad button, and nothing else may. Then lines
// that are broken in every way we could think of, and umbrafront-pads as a program.
#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "pad_mapping.h"

namespace {

// The game's pad buttons by role, as the game reads them: the controller field that plays the role
// on a standard pad, and the button number the game acts on.
const std::map<std::string, int> game_buttons = {
    {"dpup", 0}, {"dpleft", 2}, {"dpdown", 4}, {"dpright", 6}, {"back", 9}, {"leftshoulder", 10},
    {"rightshoulder", 11}, {"a", 12}, {"b", 13}, {"lefttrigger", 16}, {"righttrigger", 17},
};
const char* const meta_keys[] = {"platform", "hint", "crc", "sdk>=", "sdk<="};

struct Field {
    std::string key;
    std::string binding;
};

struct Line {
    std::string guid;
    std::string name;
    std::vector<Field> fields;
};

Line split_line(const std::string& text)
{
    Line line;
    std::vector<std::string> parts;
    std::stringstream in(text);
    std::string part;
    while (std::getline(in, part, ','))
        parts.push_back(part);
    if (parts.size() >= 2) {
        line.guid = parts[0];
        line.name = parts[1];
    }
    for (size_t i = 2; i < parts.size(); i++) {
        if (parts[i].empty())
            continue;
        size_t colon = parts[i].find(':');
        line.fields.push_back({parts[i].substr(0, colon), parts[i].substr(colon + 1)});
    }
    return line;
}

bool is_meta(const std::string& key)
{
    for (const char* m : meta_keys)
        if (key == m)
            return true;
    return false;
}

bool is_stick_axis(const std::string& key)
{
    std::string bare = (key[0] == '+' || key[0] == '-') ? key.substr(1) : key;
    SDL_GameControllerAxis axis = SDL_GameControllerGetAxisFromString(bare.c_str());
    return axis == SDL_CONTROLLER_AXIS_LEFTX || axis == SDL_CONTROLLER_AXIS_LEFTY ||
           axis == SDL_CONTROLLER_AXIS_RIGHTX || axis == SDL_CONTROLLER_AXIS_RIGHTY;
}

// Checks a rewritten line against its original: the same GUID and name; each control the game uses
// moved, binding and all, to the field SDL2 numbers as the game's button; the sticks and the meta
// fields kept; every other control gone; and SDL2 takes the line.
void expect_rewritten(const std::string& original)
{
    SCOPED_TRACE(original);
    std::string out, message;
    ASSERT_TRUE(rewrite_pad_mapping(original, out, message)) << message;
    EXPECT_TRUE(message.empty());
    ASSERT_FALSE(out.empty());
    EXPECT_EQ(out.back(), ',');
    Line before = split_line(original);
    Line after = split_line(out);
    EXPECT_EQ(after.guid, before.guid);
    EXPECT_EQ(after.name, before.name);

    // What the game would see: SDL2 button number -> the physical bindings that press it.
    std::multimap<int, std::string> pressed_by;
    std::vector<Field> others;
    for (const Field& f : after.fields) {
        SDL_GameControllerButton b = SDL_GameControllerGetButtonFromString(f.key.c_str());
        if (b != SDL_CONTROLLER_BUTTON_INVALID)
            pressed_by.insert({static_cast<int>(b), f.binding});
        else
            others.push_back(f);
    }
    size_t used = 0;
    for (const Field& f : before.fields) {
        auto role = game_buttons.find(f.key);
        if (role != game_buttons.end()) {
            used++;
            auto range = pressed_by.equal_range(role->second);
            int found = 0;
            for (auto it = range.first; it != range.second; ++it)
                found += it->second == f.binding;
            EXPECT_EQ(found, 1) << f.key << ":" << f.binding << " should press the game's button "
                                << role->second << " (" << SDL_GameControllerGetStringForButton(
                                       static_cast<SDL_GameControllerButton>(role->second)) << ") once";
        } else if (is_meta(f.key) || is_stick_axis(f.key)) {
            bool kept = false;
            for (const Field& o : others)
                kept = kept || (o.key == f.key && o.binding == f.binding);
            EXPECT_TRUE(kept) << f.key << ":" << f.binding << " should be kept as it is";
        } else {
            for (const auto& p : pressed_by)
                EXPECT_NE(p.second, f.binding) << "the unused control " << f.key << ":" << f.binding
                                               << " presses button " << p.first;
        }
    }
    EXPECT_EQ(pressed_by.size(), used) << "one button field for each control the game uses";
    for (const Field& o : others)
        EXPECT_TRUE(is_meta(o.key) || is_stick_axis(o.key)) << "unexpected field " << o.key;
    EXPECT_GE(SDL_GameControllerAddMapping(out.c_str()), 0) << SDL_GetError();
}

void expect_refused(const std::string& line, const std::string& says)
{
    SCOPED_TRACE(line);
    std::string out = "stale", message;
    EXPECT_FALSE(rewrite_pad_mapping(line, out, message));
    EXPECT_TRUE(out.empty());
    EXPECT_NE(message.find(says), std::string::npos) << "message: " << message;
    EXPECT_EQ(message.find('\n'), std::string::npos) << "one line";
}

const std::string xbox =
    "030000005e0400008e02000014010000,Xbox 360 Controller,a:b0,b:b1,back:b6,dpdown:h0.4,dpleft:h0.8,"
    "dpright:h0.2,dpup:h0.1,guide:b8,leftshoulder:b4,leftstick:b9,lefttrigger:a2,leftx:a0,lefty:a1,"
    "rightshoulder:b5,rightstick:b10,righttrigger:a5,rightx:a3,righty:a4,start:b7,x:b2,y:b3,platform:Linux,";
const std::string playstation =
    "030000004c050000cc09000011810000,PS4 Controller,a:b0,b:b1,back:b8,dpdown:h0.4,dpleft:h0.8,"
    "dpright:h0.2,dpup:h0.1,guide:b10,leftshoulder:b4,leftstick:b11,lefttrigger:a2,leftx:a0,lefty:a1,"
    "rightshoulder:b5,rightstick:b12,righttrigger:a5,rightx:a3,righty:a4,start:b9,x:b3,y:b2,touchpad:b13,"
    "crc:a2f3,platform:Linux,";
// SDL2 binds `a` to the bottom face button, which this pad labels B: the rewrite follows SDL2.
const std::string switch_pro =
    "050000007e0500000920000001800000,Nintendo Switch Pro Controller,a:b0,b:b1,back:b9,dpdown:b15,"
    "dpleft:b16,dpright:b17,dpup:b14,guide:b11,leftshoulder:b5,leftstick:b12,lefttrigger:b7,leftx:a0,"
    "lefty:a1,misc1:b4,rightshoulder:b6,rightstick:b13,righttrigger:b8,rightx:a2,righty:a3,start:b10,"
    "x:b3,y:b2,hint:!SDL_GAMECONTROLLER_USE_BUTTON_LABELS:=1,platform:Linux,";
const std::string handheld_buttons =
    "190000004b4800000111000000010000,Handheld Joypad,a:b1,b:b0,back:b8,dpdown:b14,dpleft:b15,"
    "dpright:b16,dpup:b13,guide:b10,leftshoulder:b4,leftstick:b11,lefttrigger:b6,leftx:a0,lefty:a1,"
    "rightshoulder:b5,rightstick:b12,righttrigger:b7,rightx:a2,righty:a3,start:b9,x:b2,y:b3,platform:Linux,";
const std::string handheld_low_dpad =
    "19000000010000000100000001010000,Pocket Gamepad,a:b0,b:b1,x:b2,y:b3,dpup:b8,dpdown:b9,dpleft:b10,"
    "dpright:b11,leftshoulder:b4,rightshoulder:b5,lefttrigger:+a2,righttrigger:+a5,back:b6,start:b7,"
    "leftx:a0,lefty:a1,rightx:a3,righty:a4,sdk>=:0,platform:Linux,";
const std::string handheld_hat =
    "03000000c82d00000631000000010000,Clamshell Handheld,a:b1,b:b0,back:b10,dpup:h0.1,dpdown:h0.4,"
    "dpleft:h0.8,dpright:h0.2,guide:b12,leftshoulder:b6,rightshoulder:b7,lefttrigger:a4~,"
    "righttrigger:a5,start:b11,x:b4,y:b3,+leftx:b20,-leftx:b21,lefty:a1,platform:Linux,";

class pad_mapping : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_EQ(SDL_Init(SDL_INIT_GAMECONTROLLER), 0) << SDL_GetError(); }
    static void TearDownTestSuite() { SDL_Quit(); }
};

TEST_F(pad_mapping, desktop_pads_play_every_role)
{
    expect_rewritten(xbox);
    expect_rewritten(playstation);
    expect_rewritten(switch_pro);
}

TEST_F(pad_mapping, handheld_pads_play_every_role)
{
    expect_rewritten(handheld_buttons);
    expect_rewritten(handheld_low_dpad);
    expect_rewritten(handheld_hat);
}

TEST_F(pad_mapping, named_examples)
{
    // A few moves spelled out, so that a decoding slip in the check above cannot hide one.
    std::string out, message;
    ASSERT_TRUE(rewrite_pad_mapping(xbox, out, message)) << message;
    EXPECT_NE(out.find(",dpdown:b0,"), std::string::npos) << out;    // A is the game's 12
    EXPECT_NE(out.find(",a:h0.1,"), std::string::npos) << out;       // up is the game's 0
    EXPECT_NE(out.find(",paddle1:a2,"), std::string::npos) << out;   // left trigger: volume up, 16
    EXPECT_NE(out.find(",paddle2:a5,"), std::string::npos) << out;   // right trigger: volume down, 17
    EXPECT_NE(out.find(",leftshoulder:b6,"), std::string::npos) << out;  // Select is the game's 9
    EXPECT_NE(out.find(",rightshoulder:b4,"), std::string::npos) << out; // L is the game's 10
    ASSERT_TRUE(rewrite_pad_mapping(handheld_low_dpad, out, message)) << message;
    EXPECT_NE(out.find(",paddle1:+a2,"), std::string::npos) << out;  // a half axis keeps its sign
    EXPECT_EQ(out.find(":b7,"), std::string::npos) << out;          // start: unused, dropped
    EXPECT_NE(out.find(",sdk>=:0,platform:Linux,"), std::string::npos) << out;
    ASSERT_TRUE(rewrite_pad_mapping(handheld_hat, out, message)) << message;
    EXPECT_NE(out.find(",+leftx:b20,-leftx:b21,lefty:a1,"), std::string::npos) << out;
    EXPECT_NE(out.find(",paddle1:a4~,"), std::string::npos) << out;
}

TEST_F(pad_mapping, surrounding_blanks_and_a_missing_final_comma_are_taken)
{
    std::string out, message;
    std::string bare = xbox.substr(0, xbox.size() - 1);
    ASSERT_TRUE(rewrite_pad_mapping("  " + bare + "\r\n", out, message)) << message;
    std::string expected;
    ASSERT_TRUE(rewrite_pad_mapping(xbox, expected, message));
    EXPECT_EQ(out, expected);
}

TEST_F(pad_mapping, broken_lines_are_refused_with_a_reason)
{
    const std::string guid = "030000005e0400008e02000014010000";
    expect_refused("", "empty");
    expect_refused(" \t ", "empty");
    expect_refused(guid, "cut short");
    expect_refused(guid + ",Xbox 360 Controller", "cut short");
    expect_refused(guid + ",Xbox 360 Controller,", "binds none");
    expect_refused(guid + ",,a:b0,", "empty name");
    expect_refused("Xbox 360 Controller,a:b0,b:b1,", "GUID");
    expect_refused(guid.substr(1) + ",Pad,a:b0,", "GUID");
    expect_refused("03000000zz0400008e02000014010000,Pad,a:b0,", "GUID");
    expect_refused(guid + ",Pad,a:b0,b:b1,flux:b7,", "unknown field \"flux:b7\"");
    expect_refused(guid + ",Pad,a:b0,Back:b6,", "unknown field");
    expect_refused(guid + ",Pad,+a:b0,", "unknown field");
    expect_refused(guid + ",Pad,a:b0,b:,", "malformed field");
    expect_refused(guid + ",Pad,a:b0,bogus,", "malformed field");
    expect_refused(guid + ",Pad,:b1,", "malformed field");
    expect_refused(guid + ",Pad,a:q5,", "malformed binding");
    expect_refused(guid + ",Pad,a:h0,", "malformed binding");
    expect_refused(guid + ",Pad,a:b,", "malformed binding");
    expect_refused(guid + ",Pad,dpup:a,", "malformed binding");
    expect_refused(guid + ",Pad,leftx:b1x,", "malformed binding");
    expect_refused(guid + ",Pad,x:b2,y:b3,start:b7,leftx:a0,platform:Linux,", "binds none");
    expect_refused(xbox + "\n" + playstation, "more than one line");
}

TEST_F(pad_mapping, every_cut_and_every_damaged_byte_is_answered_without_a_crash)
{
    // Cut at every length, and one byte replaced by each of a few troublesome ones at every place:
    // each is either refused with a message or rewritten to a line that keeps the GUID.
    const char damage[] = {',', ':', '\0', '~', '+', 'h', '.', '\xff'};
    for (const std::string& good : {xbox, switch_pro, handheld_hat}) {
        std::vector<std::string> variants;
        for (size_t n = 0; n <= good.size(); n++)
            variants.push_back(good.substr(0, n));
        for (size_t at = 0; at < good.size(); at++)
            for (char c : damage) {
                std::string v = good;
                v[at] = c;
                variants.push_back(v);
            }
        for (const std::string& v : variants) {
            std::string out, message;
            if (rewrite_pad_mapping(v, out, message)) {
                EXPECT_TRUE(message.empty());
                EXPECT_EQ(out.compare(0, 32, v, 0, 32), 0) << v;
                EXPECT_EQ(out.back(), ',');
            } else {
                EXPECT_TRUE(out.empty()) << v;
                EXPECT_FALSE(message.empty()) << v;
                EXPECT_EQ(message.find('\n'), std::string::npos) << v;
            }
        }
    }
}

TEST(controller_button_name, follows_sdl2)
{
    for (int i = 0; i < SDL_CONTROLLER_BUTTON_MAX; i++)
        EXPECT_STREQ(controller_button_name(i),
                     SDL_GameControllerGetStringForButton(static_cast<SDL_GameControllerButton>(i)));
    EXPECT_EQ(controller_button_name(-1), nullptr);
    EXPECT_EQ(controller_button_name(SDL_CONTROLLER_BUTTON_MAX), nullptr);
}

// ---- the program ----

struct ToolRun {
    int status;
    std::string out;
    std::string err;
};

std::string read_all(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string quoted(const std::string& s)
{
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

ToolRun run_tool(const std::string& args, const std::string& input = "")
{
    std::string dir = ::testing::TempDir();
    std::string in = dir + "pads_in.txt", out = dir + "pads_out.txt", err = dir + "pads_err.txt";
    std::ofstream(in) << input;
    std::string cmd = std::string(UMBRA_PADS_TOOL) + " " + args + " <" + in + " >" + out + " 2>" + err;
    int raw = std::system(cmd.c_str());
    ToolRun r;
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = read_all(out);
    r.err = read_all(err);
    return r;
}

TEST(umbrafront_pads, rewrites_its_arguments)
{
    std::string expected, message;
    ASSERT_TRUE(rewrite_pad_mapping(xbox, expected, message));
    ToolRun r = run_tool(quoted(xbox));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, expected + "\n");
    EXPECT_EQ(r.err, "");
}

TEST(umbrafront_pads, rewrites_standard_input_and_names_the_lines_it_leaves)
{
    std::string a, b, message;
    ASSERT_TRUE(rewrite_pad_mapping(playstation, a, message));
    ASSERT_TRUE(rewrite_pad_mapping(handheld_hat, b, message));
    ToolRun r = run_tool("-", "# pads\n" + playstation + "\n\nnot a mapping\n" + handheld_hat + "\n");
    EXPECT_EQ(r.status, 1) << "a line was left";
    EXPECT_EQ(r.out, a + "\n" + b + "\n");
    EXPECT_NE(r.err.find("umbrafront-pads: line 4: "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("GUID"), std::string::npos) << r.err;
}

TEST(umbrafront_pads, refuses_unknown_options_with_its_usage)
{
    ToolRun r = run_tool("--frobnicate");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("usage: umbrafront-pads"), std::string::npos) << r.err;
    r = run_tool("--help");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("usage: umbrafront-pads"), std::string::npos);
}

}  // namespace
