// pad_mapping.cpp -- the mapping line rewrite (see pad_mapping.h).
#include "pad_mapping.h"

#include <cctype>
#include <cstring>
#include <vector>

#include "pad_layout.h"

// SDL2's game controller buttons, in SDL2's order (SDL_GameControllerButton).
static const char* const controller_buttons[] = {
    "a", "b", "x", "y", "back", "guide", "start", "leftstick", "rightstick", "leftshoulder",
    "rightshoulder", "dpup", "dpdown", "dpleft", "dpright", "misc1", "paddle1", "paddle2",
    "paddle3", "paddle4", "touchpad",
};
static const int controller_button_count = sizeof controller_buttons / sizeof controller_buttons[0];

// The fields naming a control of pad_layout.h, as SDL2 spells them.
static const char* const control_fields[pad_control_count] = {
    "a", "b", "x", "y", "back", "guide", "start", "leftstick", "rightstick", "leftshoulder",
    "rightshoulder", "dpup", "dpdown", "dpleft", "dpright", "lefttrigger", "righttrigger",
};

// Fields kept as they are: the sticks, and what SDL2 reads about the line rather than the pad.
static const char* const axis_fields[] = {"leftx", "lefty", "rightx", "righty"};
static const char* const meta_fields[] = {"platform", "hint", "crc", "sdk>=", "sdk<="};
// Controls SDL2 knows that the game has no use for.
static const char* const unused_fields[] = {"misc1", "paddle1", "paddle2", "paddle3", "paddle4", "touchpad"};

const char* controller_button_name(int index)
{
    if (index < 0 || index >= controller_button_count)
        return nullptr;
    return controller_buttons[index];
}

static bool in_list(const std::string& name, const char* const* list, int count)
{
    for (int i = 0; i < count; i++)
        if (name == list[i])
            return true;
    return false;
}

static bool all_digits(const std::string& s, size_t from, size_t to)
{
    if (from >= to)
        return false;
    for (size_t i = from; i < to; i++)
        if (!std::isdigit(static_cast<unsigned char>(s[i])))
            return false;
    return true;
}

// Whether `b` is a binding SDL2 reads: a button (b3), a hat bit (h0.4) or an axis (a2, +a2, -a1,
// a5~).
static bool valid_binding(const std::string& b)
{
    if (b.size() >= 2 && b[0] == 'b')
        return all_digits(b, 1, b.size());
    if (b.size() >= 4 && b[0] == 'h') {
        size_t dot = b.find('.');
        return dot != std::string::npos && all_digits(b, 1, dot) && all_digits(b, dot + 1, b.size());
    }
    size_t i = (b[0] == '+' || b[0] == '-') ? 1 : 0;
    if (b.size() < i + 2 || b[i] != 'a')
        return false;
    size_t end = b.back() == '~' ? b.size() - 1 : b.size();
    return all_digits(b, i + 1, end);
}

static bool fail(std::string& out, std::string& message, const std::string& why)
{
    out.clear();
    message = why;
    return false;
}

bool rewrite_pad_mapping(const std::string& line_in, std::string& out, std::string& message)
{
    out.clear();
    message.clear();
    std::string line = line_in;
    while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back())))
        line.pop_back();
    size_t lead = 0;
    while (lead < line.size() && std::isspace(static_cast<unsigned char>(line[lead])))
        lead++;
    line.erase(0, lead);
    if (line.empty())
        return fail(out, message, "empty mapping line");
    if (line.find_first_of("\n\r") != std::string::npos)
        return fail(out, message, "more than one line given as one mapping");

    size_t guid_end = line.find(',');
    std::string guid = line.substr(0, guid_end);
    bool hex = guid.size() == 32;
    for (char c : guid)
        hex = hex && std::isxdigit(static_cast<unsigned char>(c));
    if (!hex)
        return fail(out, message, "mapping line does not start with a 32-digit GUID: \"" + guid.substr(0, 40) + "\"");
    if (guid_end == std::string::npos)
        return fail(out, message, "mapping line for " + guid + " is cut short: no name and no controls");
    size_t name_end = line.find(',', guid_end + 1);
    std::string name = line.substr(guid_end + 1, name_end == std::string::npos ? std::string::npos : name_end - guid_end - 1);
    if (name.empty())
        return fail(out, message, "mapping line for " + guid + " has an empty name");
    if (name_end == std::string::npos)
        return fail(out, message, "mapping line for " + guid + " (" + name + ") is cut short: no controls");

    std::string head = guid + "," + name + ",";
    std::string prefix = "mapping line for " + guid + " (" + name + ")";
    std::vector<std::string> kept;
    int controls = 0;
    size_t at = name_end + 1;
    while (at < line.size()) {
        size_t end = line.find(',', at);
        if (end == std::string::npos)
            end = line.size();
        std::string field = line.substr(at, end - at);
        at = end + 1;
        if (field.empty())
            continue;  // SDL2 skips empty fields too
        size_t colon = field.find(':');
        if (colon == std::string::npos || colon == 0 || colon + 1 == field.size())
            return fail(out, message, prefix + ": malformed field \"" + field + "\"");
        std::string key = field.substr(0, colon);
        std::string binding = field.substr(colon + 1);

        if (in_list(key, meta_fields, sizeof meta_fields / sizeof meta_fields[0])) {
            kept.push_back(field);
            continue;
        }
        std::string bare = (key[0] == '+' || key[0] == '-') ? key.substr(1) : key;
        bool is_axis = in_list(bare, axis_fields, sizeof axis_fields / sizeof axis_fields[0]);
        int control = -1;
        for (int c = 0; c < pad_control_count && !is_axis; c++)
            if (key == control_fields[c])
                control = c;
        bool unused = in_list(key, unused_fields, sizeof unused_fields / sizeof unused_fields[0]);
        if (!is_axis && control < 0 && !unused)
            return fail(out, message, prefix + ": unknown field \"" + field + "\"");
        if (!valid_binding(binding))
            return fail(out, message, prefix + ": malformed binding \"" + field + "\"");
        if (is_axis) {
            kept.push_back(field);
            continue;
        }
        if (unused)
            continue;
        int game_button = pad_layout[control];
        if (game_button < 0)
            continue;
        const char* target = controller_button_name(game_button);
        if (!target)
            return fail(out, message, prefix + ": the game's pad button " + std::to_string(game_button) +
                                          " has no SDL2 controller button");
        kept.push_back(std::string(target) + ":" + binding);
        controls++;
    }
    if (controls == 0)
        return fail(out, message, prefix + ": binds none of the controls the game uses");

    out = head;
    for (const std::string& f : kept)
        out += f + ",";
    return true;
}
