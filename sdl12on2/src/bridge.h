/* bridge.h -- the calls between the layer's two halves: the "front" files, which see only our SDL 1.2
 * headers, and the "back" files, which see only SDL2's. Everything here uses plain C types, so both
 * halves can include it. Names start with sdl12b_ (back, implemented on SDL2) or sdl12f_ (front,
 * called by the back). Handles of SDL2 objects (streams, fonts, chunks, music) cross as void*. */
#ifndef SDL12ON2_BRIDGE_H
#define SDL12ON2_BRIDGE_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* ---- start, stop, errors, time ---- */
enum { sdl12b_timer = 1, sdl12b_audio = 2, sdl12b_video = 4, sdl12b_joystick = 8 };
int sdl12b_init(int subsystems);  /* 0 or -1; a missing audio device is not a failure, as in 1.2 */
void sdl12b_quit(int subsystems);
int sdl12b_was_init(int subsystems);
void sdl12b_set_error(const char* message);
const char* sdl12b_get_error(void);
void sdl12b_clear_error(void);
uint32_t sdl12b_ticks(void);
void sdl12b_delay(uint32_t ms);

/* ---- streams (SDL2 SDL_RWops) ---- */
void* sdl12b_rw_from_file(const char* file, const char* mode);
void* sdl12b_rw_from_mem(void* mem, int size);
int sdl12b_rw_close(void* rw);
size_t sdl12b_rw_write(void* rw, const void* data, size_t size);
int64_t sdl12b_rw_seek(void* rw, int64_t offset, int whence); /* whence: 0 set, 1 current, 2 end */

/* ---- pixels handed from the back to the front (a loaded picture, a glyph) ---- */
struct sdl12_pixels {
    int w, h, pitch, bits;
    uint32_t rmask, gmask, bmask, amask;
    int ncolors;               /* palette entries, 0 without a palette */
    uint8_t palette[256][4];   /* r, g, b, unused */
    int has_key;
    uint32_t key;
    const void* pixels;
    void* handle;              /* the back's object; release with sdl12b_pixels_free */
};
void sdl12b_pixels_free(struct sdl12_pixels* p);
int sdl12b_image_load(void* rw, int freesrc, struct sdl12_pixels* out); /* 0 or -1 */
int sdl12b_bmp_load(void* rw, int freesrc, struct sdl12_pixels* out);

/* ---- the window ---- */
int sdl12b_window_open(int w, int h, int fullscreen, int resizable, int noframe); /* 0 or -1 */
void sdl12b_window_close(void);
void sdl12b_window_title(const char* title);
/* Icon pixels as 32-bit 0xAARRGGBB, rows of w. */
void sdl12b_window_icon(const uint32_t* argb, int w, int h);
/* Shows a w x h picture of 16-bit 5-6-5 pixels (pitch in bytes). In the browser, within a frame of
 * the last picture shown, the picture is only kept, and a later poll shows it. */
int sdl12b_present_565(const void* pixels, int pitch, int w, int h);
/* The same for 32-bit 0x00RRGGBB pixels (screens of other depths are widened to this first). */
int sdl12b_present_8888(const void* pixels, int pitch, int w, int h);
int sdl12b_show_cursor(int toggle);
const char* sdl12b_video_driver(void);
const char* sdl12b_audio_driver(void);
/* The desktop's size and pixel format (bits, masks); 0 or -1. */
int sdl12b_desktop(int* w, int* h, int* bits, uint32_t* rmask, uint32_t* gmask, uint32_t* bmask);

/* ---- events: the back pumps SDL2's queue and reports each event to the front in 1.2 terms ---- */
void sdl12b_pump(void);
/* Called by the front when a poll found its queue empty: in the browser, hands the rest of the
 * frame to the page (and presents a kept picture); natively nothing. */
void sdl12b_idle(void);
void sdl12b_key_repeat(int enabled);

void sdl12f_key(int down, int sym, int scancode, int mod, int unicode);
void sdl12f_mouse_motion(int x, int y, int xrel, int yrel, int buttons);
void sdl12f_mouse_button(int down, int button, int x, int y);
void sdl12f_active(int gain, int state);
void sdl12f_quit(void);
void sdl12f_expose(void);
void sdl12f_resize(int w, int h);
void sdl12f_joy_button(int which, int button, int down);
void sdl12f_joy_axis(int which, int axis, int value);
void sdl12f_joy_hat(int which, int hat, int value);
void sdl12f_joy_ball(int which, int ball, int xrel, int yrel);

/* ---- joysticks: device index i as 1.2 numbers them ---- */
int sdl12b_joy_count(void);
const char* sdl12b_joy_name(int index);
int sdl12b_joy_open(int index);   /* 0 or -1 */
void sdl12b_joy_close(int index);
int sdl12b_joy_buttons(int index);
int sdl12b_joy_button(int index, int button);

/* ---- audio (SDL2_mixer) ---- */
int sdl12b_mix_open(int frequency, int format, int channels, int chunksize);
void sdl12b_mix_close(void);
int sdl12b_mix_query(int* frequency, int* format, int* channels);
int sdl12b_mix_allocate(int channels);
void* sdl12b_mix_load_wav(void* rw, int freesrc);
void* sdl12b_mix_quick_raw(uint8_t* mem, uint32_t len);
void* sdl12b_mix_quick_wav(uint8_t* mem);
void sdl12b_mix_free_chunk(void* chunk);
void* sdl12b_mix_load_music(const char* file);
void sdl12b_mix_free_music(void* music);
int sdl12b_mix_music_type(void* music); /* 1.2's Mix_MusicType numbers */
void sdl12b_mix_post_mix(void (*mix)(void*, uint8_t*, int), void* arg);
int sdl12b_mix_play_channel(int channel, void* chunk, int loops, int ticks);
int sdl12b_mix_play_music(void* music, int loops);
int sdl12b_mix_volume(int channel, int volume);
int sdl12b_mix_volume_chunk(void* chunk, int volume);
int sdl12b_mix_volume_music(int volume);
int sdl12b_mix_halt_channel(int channel);
int sdl12b_mix_halt_music(void);
void sdl12b_mix_pause_music(void);
void sdl12b_mix_resume_music(void);
int sdl12b_mix_playing(int channel);
int sdl12b_mix_playing_music(void);
int sdl12b_mix_paused_music(void);
void sdl12b_lock_audio(void);
void sdl12b_unlock_audio(void);
unsigned long sdl12b_mix_callbacks(void);

/* ---- fonts (SDL2_ttf) ---- */
struct sdl12_font_metrics {
    int ascent, descent, lineskip;
};
/* One glyph as SDL_ttf 2.0 lays it out: its box and advance in pixels, and its monochrome bitmap
 * (one byte per pixel, 0 or 1, rows of width bytes) whose top-left is at (minx, maxy) from the pen
 * on the baseline. */
struct sdl12_glyph {
    int minx, maxx, miny, maxy, advance;
    int width, rows;
    const uint8_t* bitmap;
    unsigned index; /* the font's glyph index, 0 when the font has none */
};
int sdl12b_ttf_init(void);
void sdl12b_ttf_quit(void);
int sdl12b_ttf_was_init(void);
void* sdl12b_ttf_open(const char* file, int ptsize);
void sdl12b_ttf_close(void* font);
void sdl12b_ttf_metrics(void* font, struct sdl12_font_metrics* out);
int sdl12b_ttf_glyph(void* font, unsigned ch, struct sdl12_glyph* out); /* 0 or -1 */
int sdl12b_ttf_kerning(void* font, unsigned previous_ch, unsigned ch);  /* in pixels */
int sdl12b_ttf_style(void* font);
void sdl12b_ttf_set_style(void* font, int style);
int sdl12b_ttf_hinting(void* font);
void sdl12b_ttf_set_hinting(void* font, int hinting); /* TTF_HINTING_* numbers, the same in both */
long sdl12b_ttf_faces(void* font);
int sdl12b_ttf_fixed_width(void* font);
const char* sdl12b_ttf_family(void* font);
const char* sdl12b_ttf_style_name(void* font);

#ifdef __cplusplus
}
#endif

#endif
