// scaling.cpp -- the picture's whole-scale fit on a fullscreen display (see scaling.h).
#include "scaling.h"

#include <cstdint>
#include <cstring>

struct scaling_fit scaling_choose(int display_w, int display_h, int w, int h)
{
    struct scaling_fit fit = {1, 0, 0};
    if (w <= 0 || h <= 0)
        return fit;
    int across = display_w / w;
    int down = display_h / h;
    fit.scale = across < down ? across : down;
    if (fit.scale < 1)
        fit.scale = 1;
    // Halves round towards the top-left; a negative offset halves what is cropped on each side.
    fit.x = (display_w - w * fit.scale) / 2;
    fit.y = (display_h - h * fit.scale) / 2;
    return fit;
}

static int floor_div(int a, int b)
{
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

static int clamp(int v, int low, int high)
{
    return v < low ? low : v > high ? high : v;
}

void scaling_to_picture(struct scaling_fit fit, int w, int h, int* x, int* y)
{
    *x = clamp(floor_div(*x - fit.x, fit.scale), 0, w - 1);
    *y = clamp(floor_div(*y - fit.y, fit.scale), 0, h - 1);
}

template <typename pixel>
static void widen_row(const uint8_t* from, int w, uint8_t* to, int scale)
{
    const pixel* in = reinterpret_cast<const pixel*>(from);
    pixel* out = reinterpret_cast<pixel*>(to);
    for (int x = 0; x < w; x++)
        for (int i = 0; i < scale; i++)
            *out++ = in[x];
}

void scaling_copy(const void* from, int from_pitch, int w, int h, int pixel_bytes, void* to, int to_pitch,
                  int scale)
{
    const uint8_t* in = static_cast<const uint8_t*>(from);
    uint8_t* out = static_cast<uint8_t*>(to);
    size_t out_bytes = static_cast<size_t>(w) * scale * pixel_bytes;
    for (int y = 0; y < h; y++, in += from_pitch) {
        // One row widened, then repeated below itself.
        uint8_t* first = out;
        switch (pixel_bytes) {
        case 2: widen_row<uint16_t>(in, w, first, scale); break;
        case 4: widen_row<uint32_t>(in, w, first, scale); break;
        default:
            for (int x = 0; x < w; x++)
                for (int i = 0; i < scale; i++)
                    std::memcpy(first + (static_cast<size_t>(x) * scale + i) * pixel_bytes, in + x * pixel_bytes,
                                static_cast<size_t>(pixel_bytes));
            break;
        }
        out += to_pitch;
        for (int i = 1; i < scale; i++, out += to_pitch)
            std::memcpy(out, first, out_bytes);
    }
}
