/* pad_layout.h -- which control of a standard game controller plays which of the game's pad
 * buttons. The game numbers its pad buttons as the GP2X handheld reports them (d-pad up 0, left 2,
 * down 4, right 6, Select 9, L 10, R 11, A 12, B 13, volume up 16, volume down 17); a desktop or
 * browser pad is laid out like an Xbox pad. This table is the one place that joins the two, for the
 * layer and for any other port or tool: plain C data, no library types.
 *
 * The controls are numbered as SDL2 numbers its game controller buttons (A, B, X, Y, Back, Guide,
 * Start, left stick, right stick, left shoulder, right shoulder, d-pad up, down, left, right), then
 * the two analogue triggers, which count as pressed past half their travel. */
#ifndef SDL12ON2_PAD_LAYOUT_H
#define SDL12ON2_PAD_LAYOUT_H

#ifdef __cplusplus
extern "C" {
#endif

enum pad_control {
    pad_control_a, /* the bottom face button */
    pad_control_b, /* the right face button */
    pad_control_x,
    pad_control_y,
    pad_control_back,
    pad_control_guide,
    pad_control_start,
    pad_control_left_stick,
    pad_control_right_stick,
    pad_control_left_shoulder,
    pad_control_right_shoulder,
    pad_control_dpad_up,
    pad_control_dpad_down,
    pad_control_dpad_left,
    pad_control_dpad_right,
    pad_control_left_trigger,
    pad_control_right_trigger,
    pad_control_count
};

/* The game's pad button for each control, or -1 where the control plays none. */
extern const int pad_layout[pad_control_count];
/* One more than the highest game pad button in the table: how many buttons such a pad reports. */
extern const int pad_layout_buttons;

#ifdef __cplusplus
}
#endif

#endif
