/* scaling.h -- how the 320x240 picture sits on a fullscreen display (SDL12ON2_FULLSCREEN=1): at the
 * largest whole scale that fits, so that every pixel becomes an even square block, centred, with
 * black around. Plain arithmetic and copying, no SDL, so it is tested natively. */
#ifndef SDL12ON2_SCALING_H
#define SDL12ON2_SCALING_H

#ifdef __cplusplus
extern "C" {
#endif

struct scaling_fit {
    int scale; /* 1 or more */
    int x, y;  /* the picture's top-left on the display; negative when a display too small crops it */
};

/* The fit of a w x h picture on a display of display_w x display_h. */
struct scaling_fit scaling_choose(int display_w, int display_h, int w, int h);
/* A point of the display (a mouse position) as the point of the w x h picture under it, clamped to
 * the picture's edges. */
void scaling_to_picture(struct scaling_fit fit, int w, int h, int* x, int* y);
/* Copies w x h pixels of pixel_bytes each from `from` to `to`, every one as a scale x scale block. */
void scaling_copy(const void* from, int from_pitch, int w, int h, int pixel_bytes, void* to, int to_pitch,
                  int scale);

#ifdef __cplusplus
}
#endif

#endif
