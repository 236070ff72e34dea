// blit.cpp -- SDL 1.2's software blitters: which one a pair of surfaces gets, and what each one
// computes. 1.2 has many blitters and they round differently (the 16-bit alpha blends keep only 5
// bits of alpha, the 32-bit ones blend two channels in one word, the generic ones round up), so
// the layer chooses as 1.2 chooses and repeats each one's integer arithmetic to the bit. The
// common 16-bit cases are written out for speed; everything runs in plain portable C++.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "front.h"

enum blit_kind {
    kind_none,
    kind_copy,
    kind_copy_overlap,
    // from 2-, 3- and 4-byte pixels
    kind_n_to_1,
    kind_rgb888_to_332,
    kind_565_to_32,
    kind_4_to_4_mask_alpha,
    kind_n_to_n,
    kind_n_to_n_copy_alpha,
    kind_n_to_1_key,
    kind_2_to_2_key,
    kind_n_to_n_key,
    kind_n_to_n_key_copy_alpha,
    kind_n_to_1_surface_alpha,
    kind_n_to_1_surface_alpha_key,
    kind_n_to_1_pixel_alpha,
    kind_565_surface_alpha,
    kind_555_surface_alpha,
    kind_rgb_surface_alpha,
    kind_n_to_n_surface_alpha,
    kind_n_to_n_surface_alpha_key,
    kind_argb_to_565_pixel_alpha,
    kind_argb_to_555_pixel_alpha,
    kind_rgb_pixel_alpha,
    kind_n_to_n_pixel_alpha,
    // from 8-bit palettized pixels
    kind_1_to_n,
    kind_1_to_n_key,
    kind_1_to_n_alpha,
    kind_1_to_n_alpha_key,
    // from 1-bit bitmaps
    kind_bits_to_n,
    kind_bits_to_n_key,
    kind_bits_to_n_alpha,
    kind_bits_to_n_alpha_key,
};

enum { rle_none = 0, rle_colorkey = 1, rle_alpha = 2 };

// ---- pixels ----

static inline Uint32 load(const Uint8* p, int bpp)
{
    switch (bpp) {
    case 1: return *p;
    case 2: {
        Uint16 v;
        std::memcpy(&v, p, 2);
        return v;
    }
    case 3:
#if SDL_BYTEORDER == SDL_BIG_ENDIAN
        return (static_cast<Uint32>(p[0]) << 16) | (static_cast<Uint32>(p[1]) << 8) | p[2];
#else
        return p[0] | (static_cast<Uint32>(p[1]) << 8) | (static_cast<Uint32>(p[2]) << 16);
#endif
    case 4: {
        Uint32 v;
        std::memcpy(&v, p, 4);
        return v;
    }
    default: return 0;
    }
}

static inline void store16(Uint8* p, Uint32 v)
{
    Uint16 w = static_cast<Uint16>(v);
    std::memcpy(p, &w, 2);
}

static inline void store32(Uint8* p, Uint32 v)
{
    std::memcpy(p, &v, 4);
}

// Channel values as 1.2's blitters take them: shifted up by the loss, low bits left empty.
static inline Uint32 red_of(Uint32 pixel, const SDL_PixelFormat* f)
{
    return ((pixel & f->Rmask) >> f->Rshift) << f->Rloss;
}
static inline Uint32 green_of(Uint32 pixel, const SDL_PixelFormat* f)
{
    return ((pixel & f->Gmask) >> f->Gshift) << f->Gloss;
}
static inline Uint32 blue_of(Uint32 pixel, const SDL_PixelFormat* f)
{
    return ((pixel & f->Bmask) >> f->Bshift) << f->Bloss;
}
static inline Uint32 alpha_of(Uint32 pixel, const SDL_PixelFormat* f)
{
    return ((pixel & f->Amask) >> f->Ashift) << f->Aloss;
}

static inline Uint32 pack_rgb(const SDL_PixelFormat* f, Uint32 r, Uint32 g, Uint32 b)
{
    return ((r >> f->Rloss) << f->Rshift) | ((g >> f->Gloss) << f->Gshift) | ((b >> f->Bloss) << f->Bshift);
}

static inline Uint32 pack_rgba(const SDL_PixelFormat* f, Uint32 r, Uint32 g, Uint32 b, Uint32 a)
{
    return pack_rgb(f, r, g, b) | ((a >> f->Aloss) << f->Ashift);
}

// Stores a colour: 16 and 32 bits as one packed value (whatever overflows the value is dropped),
// 24 bits as single bytes at the channels' positions, without alpha.
static inline void store_rgba(Uint8* p, int bpp, const SDL_PixelFormat* f, Uint32 r, Uint32 g, Uint32 b, Uint32 a)
{
    switch (bpp) {
    case 2: store16(p, pack_rgba(f, r, g, b, a)); break;
    case 3:
#if SDL_BYTEORDER == SDL_BIG_ENDIAN
        p[2 - f->Rshift / 8] = static_cast<Uint8>(r);
        p[2 - f->Gshift / 8] = static_cast<Uint8>(g);
        p[2 - f->Bshift / 8] = static_cast<Uint8>(b);
#else
        p[f->Rshift / 8] = static_cast<Uint8>(r);
        p[f->Gshift / 8] = static_cast<Uint8>(g);
        p[f->Bshift / 8] = static_cast<Uint8>(b);
#endif
        break;
    case 4: store32(p, pack_rgba(f, r, g, b, a)); break;
    default: break;
    }
}

static inline void store_rgb(Uint8* p, int bpp, const SDL_PixelFormat* f, Uint32 r, Uint32 g, Uint32 b)
{
    if (bpp == 3)
        store_rgba(p, bpp, f, r, g, b, 0);
    else if (bpp == 2)
        store16(p, pack_rgb(f, r, g, b));
    else if (bpp == 4)
        store32(p, pack_rgb(f, r, g, b));
}

// 1.2's generic blend, (s - d) * a / 256 rounded up, in unsigned 32-bit arithmetic: a darker
// result wraps around, and the wrapped high bits reach the stored pixel where nothing cuts them.
static inline Uint32 blend(Uint32 s, Uint32 d, Uint32 a)
{
    return (((s - d) * a + 255) >> 8) + d;
}

// The same blend in signed arithmetic, as 1.2's palettized-source blitters do it.
static inline Uint32 blend_signed(int s, int d, int a)
{
    return static_cast<Uint32>((((s - d) * a + 255) >> 8) + d);
}

// The dithered 3-3-2 index 1.2 uses for 8-bit destinations.
static inline Uint32 index_332(Uint32 r, Uint32 g, Uint32 b)
{
    return ((r >> 5) << 5) | ((g >> 5) << 2) | (b >> 6);
}

static inline Uint8 to_8bit(const Uint8* table, Uint32 index)
{
    return table ? table[index & 0xFF] : static_cast<Uint8>(index);
}

// ---- one blit ----

struct blit_job {
    Uint8* src;
    int src_skip;  // bytes from the end of a source row to the next row's start
    Uint8* dst;
    int dst_skip;
    int w, h;
    SDL_PixelFormat* sf;
    SDL_PixelFormat* df;
    const Uint8* table;
};

// Loops over the job's pixels; `step` sees the source and destination pixel addresses and may
// `continue` to the next pixel.
#define FOR_EACH_PIXEL(job, sbpp, dbpp, step)                                           \
    do {                                                                                \
        Uint8* s_ = (job).src;                                                          \
        Uint8* d_ = (job).dst;                                                          \
        for (int y_ = 0; y_ < (job).h; ++y_, s_ += (job).src_skip, d_ += (job).dst_skip) \
            for (int x_ = 0; x_ < (job).w; ++x_, s_ += (sbpp), d_ += (dbpp)) {          \
                Uint8* sp = s_;                                                         \
                Uint8* dp = d_;                                                         \
                step;                                                                   \
            }                                                                           \
    } while (0)

static void blit_copy(const blit_job& job, bool overlap)
{
    int bytes = job.w * job.df->BytesPerPixel;
    int src_step = bytes + job.src_skip;
    int dst_step = bytes + job.dst_skip;
    if (!overlap) {
        for (int y = 0; y < job.h; ++y)
            std::memcpy(job.dst + y * dst_step, job.src + y * src_step, bytes);
    } else if (job.dst < job.src) {
        for (int y = 0; y < job.h; ++y)
            std::memmove(job.dst + y * dst_step, job.src + y * src_step, bytes);
    } else {
        for (int y = job.h - 1; y >= 0; --y)
            std::memmove(job.dst + y * dst_step, job.src + y * src_step, bytes);
    }
}

// 5-6-5 to 32 bits through 1.2's 512-entry table: one entry for each byte of the source pixel.
static void blit_565_to_32(const blit_job& job)
{
    const Uint32* lut = reinterpret_cast<const Uint32*>(job.table);
    FOR_EACH_PIXEL(job, 2, 4, {
        Uint32 p = load(sp, 2);
        store32(dp, lut[(p & 0xFF) * 2] + lut[(p >> 8) * 2 + 1]);
    });
}

// Four 16-bit pixels at once in a 64-bit word: each source pixel that is not the key replaces the
// one under it. Plain integer code, so it helps wherever 64-bit arithmetic is fast (the browser too).
static inline Uint64 keyed_select_4(Uint64 p, Uint64 q, Uint64 key4)
{
    const Uint64 low15 = 0x7FFF7FFF7FFF7FFFull;
    Uint64 x = p ^ key4;
    Uint64 differs = (((x & low15) + low15) | x) & ~low15;  // top bit of each lane: pixel != key
    Uint64 take = (differs >> 15) * 0xFFFF;
    return (p & take) | (q & ~take);
}

static void keyed_row_16(Uint16* out, const Uint16* in, int w, Uint16 key)
{
    Uint64 key4 = key * 0x0001000100010001ull;
    int x = 0;
    for (; x + 4 <= w; x += 4) {
        Uint64 p, q;
        std::memcpy(&p, in + x, 8);
        std::memcpy(&q, out + x, 8);
        q = keyed_select_4(p, q, key4);
        std::memcpy(out + x, &q, 8);
    }
    for (; x < w; ++x)
        if (in[x] != key)
            out[x] = in[x];
}

static bool rows_overlap(const blit_job& job, int bpp_src, int bpp_dst)
{
    uintptr_t s0 = reinterpret_cast<uintptr_t>(job.src);
    uintptr_t s1 = s0 + static_cast<uintptr_t>(job.h) * (job.w * bpp_src + job.src_skip);
    uintptr_t d0 = reinterpret_cast<uintptr_t>(job.dst);
    uintptr_t d1 = d0 + static_cast<uintptr_t>(job.h) * (job.w * bpp_dst + job.dst_skip);
    return s0 < d1 && d0 < s1;
}

static void blit_2_to_2_key(const blit_job& job)
{
    Uint32 rgbmask = ~job.sf->Amask;
    Uint32 key = job.sf->colorkey & rgbmask;
    // The board's tiles: no alpha bits, a 16-bit key, separate surfaces.
    bool plain_key = rgbmask == 0xFFFFFFFFu && key <= 0xFFFF && !rows_overlap(job, 2, 2);
    for (int y = 0; y < job.h; ++y) {
        const Uint16* in = reinterpret_cast<const Uint16*>(job.src + y * (job.w * 2 + job.src_skip));
        Uint16* out = reinterpret_cast<Uint16*>(job.dst + y * (job.w * 2 + job.dst_skip));
        if (plain_key) {
            keyed_row_16(out, in, job.w, static_cast<Uint16>(key));
            continue;
        }
        for (int x = 0; x < job.w; ++x) {
            Uint16 p = in[x];
            if ((p & rgbmask) != key)
                out[x] = p;
        }
    }
}

// 1.2's 16-bit per-surface alpha: green moved to the upper half word, all three channels blended
// at once with alpha cut to 5 bits.
static inline Uint16 blend_16(Uint32 s, Uint32 d, Uint32 alpha5, Uint32 mask)
{
    s = (s | s << 16) & mask;
    d = (d | d << 16) & mask;
    d += (s - d) * alpha5 >> 5;
    d &= mask;
    return static_cast<Uint16>(d | d >> 16);
}

// Half and half, with the low bits of each channel kept when both have them.
static inline Uint16 blend_16_half(Uint32 s, Uint32 d, Uint32 mask)
{
    return static_cast<Uint16>((((s & mask) + (d & mask)) >> 1) + (s & d & (~mask & 0xFFFF)));
}

static void blit_16_surface_alpha(const blit_job& job, Uint32 wide_mask, Uint32 half_mask)
{
    Uint32 alpha = job.sf->alpha;
    for (int y = 0; y < job.h; ++y) {
        const Uint16* in = reinterpret_cast<const Uint16*>(job.src + y * (job.w * 2 + job.src_skip));
        Uint16* out = reinterpret_cast<Uint16*>(job.dst + y * (job.w * 2 + job.dst_skip));
        if (alpha == 128) {
            for (int x = 0; x < job.w; ++x)
                out[x] = blend_16_half(in[x], out[x], half_mask);
        } else {
            Uint32 alpha5 = alpha >> 3;
            for (int x = 0; x < job.w; ++x)
                out[x] = blend_16(in[x], out[x], alpha5, wide_mask);
        }
    }
}

// 32-bit per-surface alpha between two surfaces of one 8-8-8 format: red and blue blended in one
// word, green alone, or the greens of two neighbouring pixels in one word. The result is opaque.
static inline Uint32 blend_32_one(Uint32 s, Uint32 d, Uint32 alpha)
{
    Uint32 s1 = s & 0xFF00FF;
    Uint32 d1 = d & 0xFF00FF;
    d1 = (d1 + ((s1 - d1) * alpha >> 8)) & 0xFF00FF;
    s &= 0xFF00;
    d &= 0xFF00;
    d = (d + ((s - d) * alpha >> 8)) & 0xFF00;
    return d1 | d;
}

static void blit_rgb_surface_alpha(const blit_job& job)
{
    Uint32 alpha = job.sf->alpha;
    for (int y = 0; y < job.h; ++y) {
        const Uint32* in = reinterpret_cast<const Uint32*>(job.src + y * (job.w * 4 + job.src_skip));
        Uint32* out = reinterpret_cast<Uint32*>(job.dst + y * (job.w * 4 + job.dst_skip));
        if (alpha == 128) {
            for (int x = 0; x < job.w; ++x) {
                Uint32 s = in[x], d = out[x];
                out[x] = ((((s & 0x00FEFEFE) + (d & 0x00FEFEFE)) >> 1) + (s & d & 0x00010101)) | 0xFF000000;
            }
            continue;
        }
        int x = 0;
        if (job.w & 1) {
            out[0] = blend_32_one(in[0], out[0], alpha) | 0xFF000000;
            x = 1;
        }
        for (; x < job.w; x += 2) {
            Uint32 s = in[x], d = out[x];
            Uint32 s1 = s & 0xFF00FF;
            Uint32 d1 = d & 0xFF00FF;
            d1 += (s1 - d1) * alpha >> 8;
            d1 &= 0xFF00FF;
            Uint32 sg = ((s & 0xFF00) >> 8) | ((in[x + 1] & 0xFF00) << 8);
            Uint32 dg = ((d & 0xFF00) >> 8) | ((out[x + 1] & 0xFF00) << 8);
            dg += (sg - dg) * alpha >> 8;
            dg &= 0x00FF00FF;
            out[x] = d1 | ((dg << 8) & 0xFF00) | 0xFF000000;
            Uint32 s2 = in[x + 1] & 0xFF00FF;
            Uint32 d2 = out[x + 1] & 0xFF00FF;
            d2 += (s2 - d2) * alpha >> 8;
            d2 &= 0xFF00FF;
            out[x + 1] = d2 | ((dg >> 8) & 0xFF00) | 0xFF000000;
        }
    }
}

// Keyed per-surface alpha between two 5-6-5 surfaces, the board's faded units: 1.2's generic
// blend written out for this one format.
static void blit_565_surface_alpha_key(const blit_job& job)
{
    Uint32 a = job.sf->alpha;
    Uint32 key = job.sf->colorkey;
    if (!a)
        return;
    for (int y = 0; y < job.h; ++y) {
        const Uint16* in = reinterpret_cast<const Uint16*>(job.src + y * (job.w * 2 + job.src_skip));
        Uint16* out = reinterpret_cast<Uint16*>(job.dst + y * (job.w * 2 + job.dst_skip));
        for (int x = 0; x < job.w; ++x) {
            Uint32 s = in[x];
            if (s == key)
                continue;
            Uint32 d = out[x];
            Uint32 r = blend((s >> 11) << 3, (d >> 11) << 3, a);
            Uint32 g = blend(((s >> 5) & 0x3F) << 2, ((d >> 5) & 0x3F) << 2, a);
            Uint32 b = blend((s & 0x1F) << 3, (d & 0x1F) << 3, a);
            out[x] = static_cast<Uint16>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
        }
    }
}

static bool is_565(const SDL_PixelFormat* f)
{
    return f->BytesPerPixel == 2 && f->Rmask == 0xF800 && f->Gmask == 0x07E0 && f->Bmask == 0x001F &&
           f->Amask == 0;
}

static void blit_n_to_n_surface_alpha_key(const blit_job& job)
{
    const SDL_PixelFormat* sf = job.sf;
    const SDL_PixelFormat* df = job.df;
    if (is_565(sf) && is_565(df)) {
        blit_565_surface_alpha_key(job);
        return;
    }
    int sbpp = sf->BytesPerPixel, dbpp = df->BytesPerPixel;
    Uint32 a = sf->alpha;
    Uint32 key = sf->colorkey;
    Uint32 da = df->Amask ? SDL_ALPHA_OPAQUE : 0;
    FOR_EACH_PIXEL(job, sbpp, dbpp, {
        Uint32 p = load(sp, sbpp);
        if (a && p != key) {
            Uint32 q = load(dp, dbpp);
            Uint32 r = blend(red_of(p, sf), red_of(q, df), a);
            Uint32 g = blend(green_of(p, sf), green_of(q, df), a);
            Uint32 b = blend(blue_of(p, sf), blue_of(q, df), a);
            store_rgba(dp, dbpp, df, r, g, b, da);
        }
    });
}

static void blit_n_to_n_surface_alpha(const blit_job& job)
{
    const SDL_PixelFormat* sf = job.sf;
    const SDL_PixelFormat* df = job.df;
    int sbpp = sf->BytesPerPixel, dbpp = df->BytesPerPixel;
    Uint32 a = sf->alpha;
    Uint32 da = df->Amask ? SDL_ALPHA_OPAQUE : 0;
    if (!a)
        return;
    FOR_EACH_PIXEL(job, sbpp, dbpp, {
        Uint32 p = load(sp, sbpp);
        Uint32 q = load(dp, dbpp);
        Uint32 r = blend(red_of(p, sf), red_of(q, df), a);
        Uint32 g = blend(green_of(p, sf), green_of(q, df), a);
        Uint32 b = blend(blue_of(p, sf), blue_of(q, df), a);
        store_rgba(dp, dbpp, df, r, g, b, da);
    });
}

static void blit_n_to_n_pixel_alpha(const blit_job& job)
{
    const SDL_PixelFormat* sf = job.sf;
    const SDL_PixelFormat* df = job.df;
    int sbpp = sf->BytesPerPixel, dbpp = df->BytesPerPixel;
    FOR_EACH_PIXEL(job, sbpp, dbpp, {
        Uint32 p = load(sp, sbpp);
        Uint32 a = alpha_of(p, sf);
        if (a) {
            Uint32 q = load(dp, dbpp);
            Uint32 r = blend(red_of(p, sf), red_of(q, df), a);
            Uint32 g = blend(green_of(p, sf), green_of(q, df), a);
            Uint32 b = blend(blue_of(p, sf), blue_of(q, df), a);
            store_rgba(dp, dbpp, df, r, g, b, alpha_of(q, df));
        }
    });
}

// 8-8-8-8 with alpha on top to 5-6-5 or 5-5-5: alpha cut to 5 bits, opaque pixels copied.
static void blit_argb_to_16_pixel_alpha(const blit_job& job, bool six_bit_green)
{
    for (int y = 0; y < job.h; ++y) {
        const Uint32* in = reinterpret_cast<const Uint32*>(job.src + y * (job.w * 4 + job.src_skip));
        Uint16* out = reinterpret_cast<Uint16*>(job.dst + y * (job.w * 2 + job.dst_skip));
        for (int x = 0; x < job.w; ++x) {
            Uint32 s = in[x];
            Uint32 alpha = s >> 27;
            if (!alpha)
                continue;
            if (six_bit_green) {
                if (alpha == 31) {
                    out[x] = static_cast<Uint16>(((s >> 8) & 0xF800) + ((s >> 5) & 0x7E0) + ((s >> 3) & 0x1F));
                    continue;
                }
                s = ((s & 0xFC00) << 11) + ((s >> 8) & 0xF800) + ((s >> 3) & 0x1F);
                Uint32 d = out[x];
                d = (d | d << 16) & 0x07E0F81F;
                d += (s - d) * alpha >> 5;
                d &= 0x07E0F81F;
                out[x] = static_cast<Uint16>(d | d >> 16);
            } else {
                if (alpha == 31) {
                    out[x] = static_cast<Uint16>(((s >> 9) & 0x7C00) + ((s >> 6) & 0x3E0) + ((s >> 3) & 0x1F));
                    continue;
                }
                s = ((s & 0xF800) << 10) + ((s >> 9) & 0x7C00) + ((s >> 3) & 0x1F);
                Uint32 d = out[x];
                d = (d | d << 16) & 0x03E07C1F;
                d += (s - d) * alpha >> 5;
                d &= 0x03E07C1F;
                out[x] = static_cast<Uint16>(d | d >> 16);
            }
        }
    }
}

static void blit_rgb_pixel_alpha(const blit_job& job)
{
    for (int y = 0; y < job.h; ++y) {
        const Uint32* in = reinterpret_cast<const Uint32*>(job.src + y * (job.w * 4 + job.src_skip));
        Uint32* out = reinterpret_cast<Uint32*>(job.dst + y * (job.w * 4 + job.dst_skip));
        for (int x = 0; x < job.w; ++x) {
            Uint32 s = in[x];
            Uint32 alpha = s >> 24;
            if (!alpha)
                continue;
            if (alpha == SDL_ALPHA_OPAQUE)
                out[x] = (s & 0x00FFFFFF) | (out[x] & 0xFF000000);
            else
                out[x] = blend_32_one(s, out[x], alpha) | (out[x] & 0xFF000000);
        }
    }
}

// Blends into an 8-bit destination through its palette and back through the 3-3-2 map.
static void blit_n_to_1_alpha(const blit_job& job, bool keyed, bool per_pixel)
{
    const SDL_PixelFormat* sf = job.sf;
    const SDL_Color* palette = job.df->palette->colors;
    int sbpp = sf->BytesPerPixel;
    Uint32 key = sf->colorkey;
    FOR_EACH_PIXEL(job, sbpp, 1, {
        Uint32 p = load(sp, sbpp);
        if (!keyed || p != key) {
            Uint32 a = per_pixel ? alpha_of(p, sf) : sf->alpha;
            const SDL_Color& c = palette[*dp];
            Uint32 r = blend(red_of(p, sf), c.r, a) & 0xFF;
            Uint32 g = blend(green_of(p, sf), c.g, a) & 0xFF;
            Uint32 b = blend(blue_of(p, sf), c.b, a) & 0xFF;
            *dp = to_8bit(job.table, index_332(r, g, b));
        }
    });
}

static void blit_n_to_n(const blit_job& job, int kind)
{
    const SDL_PixelFormat* sf = job.sf;
    const SDL_PixelFormat* df = job.df;
    int sbpp = sf->BytesPerPixel, dbpp = df->BytesPerPixel;
    Uint32 rgbmask = ~sf->Amask;
    Uint32 key = sf->colorkey & rgbmask;
    Uint32 alpha = df->Amask ? sf->alpha : 0;
    switch (kind) {
    case kind_rgb888_to_332:
        // 1.2's blitter for this case never steps along the row: every pixel of a row takes the
        // row's first source pixel, and the rows advance by the source skip alone.
        for (int y = 0; y < job.h; ++y) {
            Uint32 p = load(job.src + y * (job.src_skip / 4) * 4, 4);
            std::memset(job.dst + y * (job.w + job.dst_skip),
                        static_cast<int>(((p & 0xE00000) >> 16) | ((p & 0xE000) >> 11) | ((p & 0xC0) >> 6)), job.w);
        }
        break;
    case kind_n_to_1:
        FOR_EACH_PIXEL(job, sbpp, 1, {
            Uint32 p = load(sp, sbpp);
            *dp = to_8bit(job.table, index_332(red_of(p, sf), green_of(p, sf), blue_of(p, sf)));
        });
        break;
    case kind_n_to_1_key:
        FOR_EACH_PIXEL(job, sbpp, 1, {
            Uint32 p = load(sp, sbpp);
            if ((p & rgbmask) != key)
                *dp = to_8bit(job.table, index_332(red_of(p, sf), green_of(p, sf), blue_of(p, sf)));
        });
        break;
    case kind_4_to_4_mask_alpha:
        if (df->Amask) {
            Uint32 set = (static_cast<Uint32>(sf->alpha) >> df->Aloss) << df->Ashift;
            FOR_EACH_PIXEL(job, 4, 4, store32(dp, load(sp, 4) | set));
        } else {
            Uint32 keep = sf->Rmask | sf->Gmask | sf->Bmask;
            FOR_EACH_PIXEL(job, 4, 4, store32(dp, load(sp, 4) & keep));
        }
        break;
    case kind_n_to_n:
        FOR_EACH_PIXEL(job, sbpp, dbpp, {
            Uint32 p = load(sp, sbpp);
            store_rgba(dp, dbpp, df, red_of(p, sf), green_of(p, sf), blue_of(p, sf), alpha);
        });
        break;
    case kind_n_to_n_copy_alpha:
        FOR_EACH_PIXEL(job, sbpp, dbpp, {
            Uint32 p = load(sp, sbpp);
            store_rgba(dp, dbpp, df, red_of(p, sf), green_of(p, sf), blue_of(p, sf), alpha_of(p, sf));
        });
        break;
    case kind_n_to_n_key:
        FOR_EACH_PIXEL(job, sbpp, dbpp, {
            Uint32 p = load(sp, sbpp);
            if ((p & rgbmask) != key)
                store_rgba(dp, dbpp, df, red_of(p, sf), green_of(p, sf), blue_of(p, sf), alpha);
        });
        break;
    case kind_n_to_n_key_copy_alpha:
        FOR_EACH_PIXEL(job, sbpp, dbpp, {
            Uint32 p = load(sp, sbpp);
            if ((p & ~sf->Amask & rgbmask) != key)
                store_rgba(dp, dbpp, df, red_of(p, sf), green_of(p, sf), blue_of(p, sf), alpha_of(p, sf));
        });
        break;
    default:
        break;
    }
}

// 8-bit palettized sources: through the table made from the source palette when mapping, or
// blended with the palette's colours.
static void blit_1_to_n(const blit_job& job, int kind)
{
    const SDL_PixelFormat* sf = job.sf;
    const SDL_PixelFormat* df = job.df;
    const SDL_Color* palette = sf->palette->colors;
    const Uint8* table = job.table;
    int dbpp = df->BytesPerPixel;
    Uint32 key = sf->colorkey;
    int a = sf->alpha;
    bool keyed = kind == kind_1_to_n_key || kind == kind_1_to_n_alpha_key;
    if (kind == kind_1_to_n || kind == kind_1_to_n_key) {
        FOR_EACH_PIXEL(job, 1, dbpp, {
            Uint32 i = *sp;
            if (keyed && i == key)
                continue;
            switch (dbpp) {
            case 1: *dp = table ? table[i] : static_cast<Uint8>(i); break;
            case 2: std::memcpy(dp, table + 2 * i, 2); break;
            case 3: std::memcpy(dp, table + 4 * i, 3); break;
            case 4: std::memcpy(dp, table + 4 * i, 4); break;
            default: break;
            }
        });
        return;
    }
    FOR_EACH_PIXEL(job, 1, dbpp, {
        Uint32 i = *sp;
        if (keyed && i == key)
            continue;
        Uint32 q = load(dp, dbpp);
        Uint32 r = blend_signed(palette[i].r, static_cast<int>(red_of(q, df)), a);
        Uint32 g = blend_signed(palette[i].g, static_cast<int>(green_of(q, df)), a);
        Uint32 b = blend_signed(palette[i].b, static_cast<int>(blue_of(q, df)), a);
        store_rgb(dp, dbpp, df, r, g, b);
    });
}

// 1-bit bitmaps, most significant bit first. 1.2 advances over the source rows in bytes as if each
// pixel took one, which the row skip below repeats.
static void blit_bits_to_n(const blit_job& job, int kind)
{
    const SDL_PixelFormat* sf = job.sf;
    const SDL_PixelFormat* df = job.df;
    const SDL_Color* palette = sf->palette->colors;
    const Uint8* table = job.table;
    int dbpp = df->BytesPerPixel;
    Uint32 key = sf->colorkey;
    int a = sf->alpha;
    bool keyed = kind == kind_bits_to_n_key || kind == kind_bits_to_n_alpha_key;
    int src_skip = job.src_skip + job.w - (job.w + 7) / 8;
    const Uint8* src = job.src;
    Uint8* dst = job.dst;
    for (int y = 0; y < job.h; ++y) {
        Uint8 byte = 0;
        for (int x = 0; x < job.w; ++x, dst += dbpp) {
            if ((x & 7) == 0)
                byte = *src++;
            Uint32 bit = (byte & 0x80) >> 7;
            byte = static_cast<Uint8>(byte << 1);
            if (keyed && bit == key)
                continue;
            if (kind == kind_bits_to_n || kind == kind_bits_to_n_key) {
                switch (dbpp) {
                case 1: *dst = table ? table[bit] : static_cast<Uint8>(bit); break;
                case 2: std::memcpy(dst, table + 2 * bit, 2); break;
                case 3: std::memcpy(dst, table + 4 * bit, 3); break;
                case 4: std::memcpy(dst, table + 4 * bit, 4); break;
                default: break;
                }
                continue;
            }
            Uint32 q = load(dst, dbpp);
            Uint32 r, g, b;
            if (keyed) {
                r = blend_signed(palette[bit].r, static_cast<int>(red_of(q, df)), a);
                g = blend_signed(palette[bit].g, static_cast<int>(green_of(q, df)), a);
                b = blend_signed(palette[bit].b, static_cast<int>(blue_of(q, df)), a);
            } else {
                r = blend(palette[bit].r, red_of(q, df), a);
                g = blend(palette[bit].g, green_of(q, df), a);
                b = blend(palette[bit].b, blue_of(q, df), a);
            }
            store_rgb(dst, dbpp, df, r, g, b);
        }
        src += src_skip;
        dst += job.dst_skip;
    }
}

static void run_kind(const blit_job& job, int kind)
{
    switch (kind) {
    case kind_copy: blit_copy(job, false); break;
    case kind_copy_overlap: blit_copy(job, true); break;
    case kind_565_to_32: blit_565_to_32(job); break;
    case kind_2_to_2_key: blit_2_to_2_key(job); break;
    case kind_n_to_1:
    case kind_rgb888_to_332:
    case kind_n_to_1_key:
    case kind_4_to_4_mask_alpha:
    case kind_n_to_n:
    case kind_n_to_n_copy_alpha:
    case kind_n_to_n_key:
    case kind_n_to_n_key_copy_alpha: blit_n_to_n(job, kind); break;
    case kind_n_to_1_surface_alpha: blit_n_to_1_alpha(job, false, false); break;
    case kind_n_to_1_surface_alpha_key: blit_n_to_1_alpha(job, true, false); break;
    case kind_n_to_1_pixel_alpha: blit_n_to_1_alpha(job, false, true); break;
    case kind_565_surface_alpha: blit_16_surface_alpha(job, 0x07E0F81F, 0xF7DE); break;
    case kind_555_surface_alpha: blit_16_surface_alpha(job, 0x03E07C1F, 0xFBDE); break;
    case kind_rgb_surface_alpha: blit_rgb_surface_alpha(job); break;
    case kind_n_to_n_surface_alpha: blit_n_to_n_surface_alpha(job); break;
    case kind_n_to_n_surface_alpha_key: blit_n_to_n_surface_alpha_key(job); break;
    case kind_argb_to_565_pixel_alpha: blit_argb_to_16_pixel_alpha(job, true); break;
    case kind_argb_to_555_pixel_alpha: blit_argb_to_16_pixel_alpha(job, false); break;
    case kind_rgb_pixel_alpha: blit_rgb_pixel_alpha(job); break;
    case kind_n_to_n_pixel_alpha: blit_n_to_n_pixel_alpha(job); break;
    case kind_1_to_n:
    case kind_1_to_n_key:
    case kind_1_to_n_alpha:
    case kind_1_to_n_alpha_key: blit_1_to_n(job, kind); break;
    case kind_bits_to_n:
    case kind_bits_to_n_key:
    case kind_bits_to_n_alpha:
    case kind_bits_to_n_alpha_key: blit_bits_to_n(job, kind); break;
    default: break;
    }
}

// ---- run-length encoded sources ----
// 1.2 encodes keyed surfaces and surfaces with per-pixel alpha that ask for SDL_RLEACCEL. The
// layer keeps the plain pixels and repeats what the encoded blits compute.

// One pixel of a keyed run at per-surface alpha, by 1.2's choice for the surface's format.
static void rle_blend_pixel(Uint8* dp, const Uint8* sp, const SDL_PixelFormat* f, Uint32 alpha)
{
    int bpp = f->BytesPerPixel;
    if (alpha == 255) {
        std::memcpy(dp, sp, bpp);
        return;
    }
    Uint32 masks = f->Rmask | f->Gmask | f->Bmask;
    if (bpp == 1)
        return;  // no 8-bit alpha blending: the pixel stays
    if (bpp == 2 && masks == 0xFFFF && (f->Gmask == 0x07E0 || f->Rmask == 0x07E0 || f->Bmask == 0x07E0)) {
        Uint32 s = load(sp, 2), d = load(dp, 2);
        store16(dp, alpha == 128 ? blend_16_half(s, d, 0xF7DE) : blend_16(s, d, alpha >> 3, 0x07E0F81F));
        return;
    }
    if (bpp == 2 && masks == 0x7FFF && (f->Gmask == 0x03E0 || f->Rmask == 0x03E0 || f->Bmask == 0x03E0)) {
        Uint32 s = load(sp, 2), d = load(dp, 2);
        store16(dp, alpha == 128 ? blend_16_half(s, d, 0xFBDE) : blend_16(s, d, alpha >> 3, 0x03E07C1F));
        return;
    }
    if (bpp == 4 && masks == 0x00FFFFFF && (f->Gmask == 0xFF00 || f->Rmask == 0xFF00 || f->Bmask == 0xFF00)) {
        Uint32 s = load(sp, 4), d = load(dp, 4);
        if (alpha == 128)
            store32(dp, (((s & 0x00FEFEFE) + (d & 0x00FEFEFE)) >> 1) + (s & d & 0x00010101));
        else
            store32(dp, blend_32_one(s, d, alpha));
        return;
    }
    // The catch-all: channels at their loss, no rounding, the whole pixel rewritten.
    Uint32 s = load(sp, bpp), d = load(dp, bpp);
    Uint32 r = red_of(d, f), g = green_of(d, f), b = blue_of(d, f);
    r += (red_of(s, f) - r) * alpha >> 8;
    g += (green_of(s, f) - g) * alpha >> 8;
    b += (blue_of(s, f) - b) * alpha >> 8;
    Uint32 out = pack_rgb(f, r, g, b);
    switch (bpp) {
    case 2: store16(dp, out); break;
    case 3:
#if SDL_BYTEORDER == SDL_BIG_ENDIAN
        dp[0] = static_cast<Uint8>(out >> 16);
        dp[1] = static_cast<Uint8>(out >> 8);
        dp[2] = static_cast<Uint8>(out);
#else
        dp[0] = static_cast<Uint8>(out);
        dp[1] = static_cast<Uint8>(out >> 8);
        dp[2] = static_cast<Uint8>(out >> 16);
#endif
        break;
    case 4: store32(dp, out); break;
    default: break;
    }
}

static void rle_colorkey_blit(SDL_Surface* src, const SDL_Rect* srcrect, SDL_Surface* dst, const SDL_Rect* dstrect)
{
    const SDL_PixelFormat* f = src->format;
    int bpp = f->BytesPerPixel;
    Uint32 rgbmask = ~f->Amask;
    Uint32 key = f->colorkey & rgbmask;
    Uint32 alpha = (src->flags & SDL_SRCALPHA) ? f->alpha : 255;
    for (int y = 0; y < srcrect->h; ++y) {
        const Uint8* sp = static_cast<const Uint8*>(src->pixels) + (srcrect->y + y) * src->pitch + srcrect->x * bpp;
        Uint8* dp = static_cast<Uint8*>(dst->pixels) + (dstrect->y + y) * dst->pitch + dstrect->x * bpp;
        for (int x = 0; x < srcrect->w; ++x, sp += bpp, dp += bpp)
            if ((load(sp, bpp) & rgbmask) != key)
                rle_blend_pixel(dp, sp, f, alpha);
    }
}

// Per-pixel alpha runs are kept in the destination's format: opaque pixels converted, translucent
// ones with their colour converted and alpha cut to 5 bits (16-bit destinations) or kept (32-bit).
static inline bool rle_dest_16(const SDL_PixelFormat* df, bool* six_bit_green)
{
    Uint32 masks = df->Rmask | df->Gmask | df->Bmask;
    if (df->BytesPerPixel != 2)
        return false;
    if (masks == 0xFFFF && (df->Gmask == 0x07E0 || df->Rmask == 0x07E0 || df->Bmask == 0x07E0)) {
        *six_bit_green = true;
        return true;
    }
    if (masks == 0x7FFF && (df->Gmask == 0x03E0 || df->Rmask == 0x03E0 || df->Bmask == 0x03E0)) {
        *six_bit_green = false;
        return true;
    }
    return false;
}

static bool rle_alpha_possible(const SDL_PixelFormat* sf, const SDL_PixelFormat* df)
{
    bool six;
    if (sf->BitsPerPixel != 32)
        return false;
    if (df->BytesPerPixel == 2)
        return rle_dest_16(df, &six);
    return df->BytesPerPixel == 4 && (df->Rmask | df->Gmask | df->Bmask) == 0x00FFFFFF;
}

static inline Uint32 raw_channel(Uint32 p, Uint32 mask, Uint8 shift)
{
    return (p & mask) >> shift;
}

static void rle_alpha_blit(SDL_Surface* src, const SDL_Rect* srcrect, SDL_Surface* dst, const SDL_Rect* dstrect)
{
    const SDL_PixelFormat* sf = src->format;
    const SDL_PixelFormat* df = dst->format;
    int dbpp = df->BytesPerPixel;
    bool six = false;
    bool sixteen = rle_dest_16(df, &six);
    for (int y = 0; y < srcrect->h; ++y) {
        const Uint8* sp = static_cast<const Uint8*>(src->pixels) + (srcrect->y + y) * src->pitch + srcrect->x * 4;
        Uint8* dp = static_cast<Uint8*>(dst->pixels) + (dstrect->y + y) * dst->pitch + dstrect->x * dbpp;
        for (int x = 0; x < srcrect->w; ++x, sp += 4, dp += dbpp) {
            Uint32 p = load(sp, 4);
            Uint32 a = (p & sf->Amask) >> sf->Ashift;
            if (a == 0 || (a != 255 && a - 1u >= 254u))
                continue;
            if (sixteen) {
                if (a == 255) {
                    store16(dp, pack_rgb(df, red_of(p, sf), green_of(p, sf), blue_of(p, sf)));
                    continue;
                }
                Uint32 pix = pack_rgb(df, raw_channel(p, sf->Rmask, sf->Rshift), raw_channel(p, sf->Gmask, sf->Gshift),
                                      raw_channel(p, sf->Bmask, sf->Bshift)) & 0xFFFF;
                Uint32 mask = six ? 0x07E0F81Fu : 0x03E07C1Fu;
                Uint32 green = six ? 0x7E0u : 0x3E0u;
                Uint32 s = ((pix & green) << 16) | (pix & (0xFFFF & ~green)) | ((a << 2) & green);
                Uint32 alpha = (s & 0x3E0) >> 5;
                s &= mask;
                Uint32 d = load(dp, 2);
                d = (d | d << 16) & mask;
                d += (s - d) * alpha >> 5;
                d &= mask;
                store16(dp, d | d >> 16);
            } else {
                Uint32 s = pack_rgb(df, raw_channel(p, sf->Rmask, sf->Rshift), raw_channel(p, sf->Gmask, sf->Gshift),
                                    raw_channel(p, sf->Bmask, sf->Bshift)) | a << 24;
                if (a == 255)
                    store32(dp, s);
                else
                    store32(dp, blend_32_one(s, load(dp, 4), s >> 24));
            }
        }
    }
}

// What encoding and decoding again leave of a surface: 1.2 frees the pixels while a surface is
// encoded and rebuilds them from the runs when it is locked or changed.
static void rle_colorkey_round_trip(SDL_Surface* surface)
{
    const SDL_PixelFormat* f = surface->format;
    int bpp = f->BytesPerPixel;
    if (!f->Amask)
        return;  // every transparent pixel equals the key already
    Uint32 rgbmask = ~f->Amask;
    Uint32 key = f->colorkey & rgbmask;
    Uint32 fill = f->colorkey;
    for (int y = 0; y < surface->h; ++y) {
        Uint8* p = static_cast<Uint8*>(surface->pixels) + y * surface->pitch;
        for (int x = 0; x < surface->w; ++x, p += bpp) {
            if ((load(p, bpp) & rgbmask) != key)
                continue;
            switch (bpp) {
            case 2: store16(p, fill); break;
            case 3: {
                Uint32 v = fill;
#if SDL_BYTEORDER == SDL_BIG_ENDIAN
                v <<= 8;
#endif
                std::memcpy(p, &v, 3);
                break;
            }
            case 4: store32(p, fill); break;
            default: *p = static_cast<Uint8>(fill); break;
            }
        }
    }
}

static void rle_alpha_round_trip(SDL_Surface* surface, const SDL_PixelFormat* df)
{
    const SDL_PixelFormat* sf = surface->format;
    bool six = false;
    bool sixteen = rle_dest_16(df, &six);
    for (int y = 0; y < surface->h; ++y) {
        Uint8* row = static_cast<Uint8*>(surface->pixels) + y * surface->pitch;
        for (int x = 0; x < surface->w; ++x) {
            Uint8* sp = row + 4 * x;
            Uint32 p = load(sp, 4);
            Uint32 a = (p & sf->Amask) >> sf->Ashift;
            bool opaque = a == 255;
            bool translucent = a - 1u < 254u;
            Uint32 out = 0;
            if (sixteen && opaque) {
                Uint32 pix = pack_rgb(df, red_of(p, sf), green_of(p, sf), blue_of(p, sf)) & 0xFFFF;
                out = pack_rgba(sf, red_of(pix, df), green_of(pix, df), blue_of(pix, df), sf->Amask ? 255 : 0);
            } else if (sixteen && translucent) {
                Uint32 pix = pack_rgb(df, raw_channel(p, sf->Rmask, sf->Rshift), raw_channel(p, sf->Gmask, sf->Gshift),
                                      raw_channel(p, sf->Bmask, sf->Bshift)) & 0xFFFF;
                Uint32 green = six ? 0x7E0u : 0x3E0u;
                Uint32 s = ((pix & green) << 16) | (pix & (0xFFFF & ~green)) | ((a << 2) & green);
                Uint32 alpha = (s & 0x3E0) >> 2;
                s = (s & ~0x3E0u) | s >> 16;
                out = pack_rgba(sf, red_of(s, df), green_of(s, df), blue_of(s, df), alpha);
            } else if (opaque || translucent) {
                Uint32 s = pack_rgb(df, raw_channel(p, sf->Rmask, sf->Rshift), raw_channel(p, sf->Gmask, sf->Gshift),
                                    raw_channel(p, sf->Bmask, sf->Bshift)) | a << 24;
                out = pack_rgba(sf, red_of(s, df), green_of(s, df), blue_of(s, df), s >> 24);
            }
            store32(sp, out);
        }
    }
}

int sdl12_rle_surface(SDL_Surface* surface)
{
    sdl12_blit_map* map = static_cast<sdl12_blit_map*>(surface->map);
    if (surface->flags & SDL_RLEACCEL)
        sdl12_unrle_surface(surface, 1);
    if (surface->format->BitsPerPixel < 8)
        return -1;
    if (surface->flags & SDL_SRCCOLORKEY) {
        map->encoded = rle_colorkey;
    } else if ((surface->flags & SDL_SRCALPHA) && surface->format->Amask) {
        if (!map->dst || !rle_alpha_possible(surface->format, map->dst->format))
            return -1;
        map->encoded = rle_alpha;
        map->encoded_for = *map->dst->format;
        map->encoded_for.palette = nullptr;
    } else {
        return -1;
    }
    surface->flags |= SDL_RLEACCEL;
    return 0;
}

void sdl12_unrle_surface(SDL_Surface* surface, int recode)
{
    if (!(surface->flags & SDL_RLEACCEL))
        return;
    surface->flags &= ~SDL_RLEACCEL;
    sdl12_blit_map* map = static_cast<sdl12_blit_map*>(surface->map);
    if (recode && !(surface->flags & SDL_PREALLOC)) {
        // 1.2 rebuilds a keyed surface by filling with the key and drawing the runs over it, and a
        // surface with per-pixel alpha from runs in the other format.
        if (surface->flags & SDL_SRCCOLORKEY)
            rle_colorkey_round_trip(surface);
        else if (map->encoded == rle_alpha)
            rle_alpha_round_trip(surface, &map->encoded_for);
    }
    map->encoded = rle_none;
}

// ---- mapping ----

sdl12_blit_map* sdl12_alloc_blit_map(void)
{
    sdl12_blit_map* map = static_cast<sdl12_blit_map*>(std::calloc(1, sizeof(sdl12_blit_map)));
    if (!map)
        SDL_SetError("Out of memory");
    return map;
}

void sdl12_invalidate_map(sdl12_blit_map* map)
{
    if (!map)
        return;
    map->dst = nullptr;
    map->format_version = static_cast<unsigned int>(-1);
    std::free(map->table);
    map->table = nullptr;
    map->run_length = rle_none;
}

void sdl12_free_blit_map(sdl12_blit_map* map)
{
    if (!map)
        return;
    sdl12_invalidate_map(map);
    std::free(map);
}

// Palette to palette: nearest colours, or nothing (identity) when the source palette starts the
// destination's unchanged.
static Uint8* map_1_to_1(const SDL_Palette* src, const SDL_Palette* dst, int* identity)
{
    if (identity) {
        if (src->ncolors <= dst->ncolors &&
            std::memcmp(src->colors, dst->colors, src->ncolors * sizeof(SDL_Color)) == 0) {
            *identity = 1;
            return nullptr;
        }
        *identity = 0;
    }
    Uint8* table = static_cast<Uint8*>(std::calloc(256, 1));
    if (!table) {
        SDL_SetError("Out of memory");
        return nullptr;
    }
    for (int i = 0; i < src->ncolors; ++i)
        table[i] = sdl12_find_color(dst, src->colors[i].r, src->colors[i].g, src->colors[i].b);
    return table;
}

// Palette to packed pixels, stored in the destination's byte order (24-bit entries 4 bytes apart).
static Uint8* map_1_to_n(const SDL_PixelFormat* src, const SDL_PixelFormat* dst)
{
    int stride = dst->BytesPerPixel == 3 ? 4 : dst->BytesPerPixel;
    Uint8* table = static_cast<Uint8*>(std::calloc(256, stride));
    if (!table) {
        SDL_SetError("Out of memory");
        return nullptr;
    }
    Uint32 alpha = dst->Amask ? src->alpha : 0;
    const SDL_Palette* palette = src->palette;
    for (int i = 0; i < palette->ncolors; ++i)
        store_rgba(table + i * stride, dst->BytesPerPixel, dst, palette->colors[i].r, palette->colors[i].g,
                   palette->colors[i].b, alpha);
    return table;
}

// Packed pixels to a palette, through the fixed 3-3-2 colour cube.
static Uint8* map_n_to_1(const SDL_PixelFormat* dst, int* identity)
{
    SDL_Color colors[256];
    std::memset(colors, 0, sizeof(colors));
    for (int i = 0; i < 256; ++i) {
        int r = i & 0xE0;
        r |= r >> 3 | r >> 6;
        int g = (i << 3) & 0xE0;
        g |= g >> 3 | g >> 6;
        int b = i & 0x3;
        b |= b << 2;
        b |= b << 4;
        colors[i].r = static_cast<Uint8>(r);
        colors[i].g = static_cast<Uint8>(g);
        colors[i].b = static_cast<Uint8>(b);
    }
    SDL_Palette cube;
    cube.ncolors = 256;
    cube.colors = colors;
    return map_1_to_1(&cube, dst->palette, identity);
}

// 1.2's 5-6-5 to 8-8-8-8 tables: each field widened as v * 255 / max, rounded down, with the two
// halves of green widened separately and added. The destination orders, in 1.2's order of trying
// them, and where each keeps its opaque alpha (in the low or the high byte's entry).
struct order_565_to_32 {
    Uint32 r, g, b;
    Uint32 opaque;
    bool opaque_with_high_byte;
};
static const order_565_to_32 orders_565_to_32[4] = {
    {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000, true},
    {0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000, false},
    {0xFF000000, 0x00FF0000, 0x0000FF00, 0x000000FF, false},
    {0x0000FF00, 0x00FF0000, 0xFF000000, 0x000000FF, true},
};

static Uint8* map_565_to_32(const SDL_PixelFormat* dst, const order_565_to_32& order)
{
    Uint32* lut = static_cast<Uint32*>(std::calloc(512, sizeof(Uint32)));
    if (!lut) {
        SDL_SetError("Out of memory");
        return nullptr;
    }
    for (Uint32 byte = 0; byte < 256; ++byte) {
        Uint32 low = ((byte & 31) * 255 / 31) << dst->Bshift | ((byte >> 5) * 255 / 63) << dst->Gshift;
        Uint32 high = ((byte >> 3) * 255 / 31) << dst->Rshift | (((byte & 7) << 3) * 255 / 63) << dst->Gshift;
        lut[byte * 2] = low | (order.opaque_with_high_byte ? 0 : order.opaque);
        lut[byte * 2 + 1] = high | (order.opaque_with_high_byte ? order.opaque : 0);
    }
    return reinterpret_cast<Uint8*>(lut);
}

static bool masks_ok(Uint32 actual, Uint32 wanted)
{
    return actual == wanted || wanted == 0;
}

// 1.2's special blitters for 5-6-5 sources into 32 bits with an alpha channel; -1 for none.
static int order_565_to_8888(const SDL_PixelFormat* sf, const SDL_PixelFormat* df)
{
    if (sf->BytesPerPixel != 2 || sf->Rmask != 0xF800 || sf->Gmask != 0x07E0 || sf->Bmask != 0x001F || sf->Amask)
        return -1;
    if (df->BytesPerPixel != 4 || !df->Amask)
        return -1;
    for (int i = 0; i < 4; ++i) {
        const order_565_to_32& o = orders_565_to_32[i];
        if (masks_ok(df->Rmask, o.r) && masks_ok(df->Gmask, o.g) && masks_ok(df->Bmask, o.b))
            return i;
    }
    return -1;
}

static int choose_alpha(SDL_Surface* surface, const SDL_PixelFormat* sf, const SDL_PixelFormat* df)
{
    sdl12_blit_map* map = static_cast<sdl12_blit_map*>(surface->map);
    if (!sf->Amask) {
        if (surface->flags & SDL_SRCCOLORKEY)
            return df->BytesPerPixel == 1 ? kind_n_to_1_surface_alpha_key : kind_n_to_n_surface_alpha_key;
        switch (df->BytesPerPixel) {
        case 1: return kind_n_to_1_surface_alpha;
        case 2:
            if (map->identity) {
                if (df->Gmask == 0x7E0)
                    return kind_565_surface_alpha;
                if (df->Gmask == 0x3E0)
                    return kind_555_surface_alpha;
            }
            return kind_n_to_n_surface_alpha;
        case 4:
            if (sf->Rmask == df->Rmask && sf->Gmask == df->Gmask && sf->Bmask == df->Bmask &&
                sf->BytesPerPixel == 4 && (sf->Rmask | sf->Gmask | sf->Bmask) == 0xFFFFFF)
                return kind_rgb_surface_alpha;
            return kind_n_to_n_surface_alpha;
        default: return kind_n_to_n_surface_alpha;
        }
    }
    switch (df->BytesPerPixel) {
    case 1: return kind_n_to_1_pixel_alpha;
    case 2:
        if (sf->BytesPerPixel == 4 && sf->Amask == 0xFF000000 && sf->Gmask == 0xFF00 &&
            ((sf->Rmask == 0xFF && df->Rmask == 0x1F) || (sf->Bmask == 0xFF && df->Bmask == 0x1F))) {
            if (df->Gmask == 0x7E0)
                return kind_argb_to_565_pixel_alpha;
            if (df->Gmask == 0x3E0)
                return kind_argb_to_555_pixel_alpha;
        }
        return kind_n_to_n_pixel_alpha;
    case 4:
        if (sf->Rmask == df->Rmask && sf->Gmask == df->Gmask && sf->Bmask == df->Bmask &&
            sf->BytesPerPixel == 4 && sf->Amask == 0xFF000000)
            return kind_rgb_pixel_alpha;
        return kind_n_to_n_pixel_alpha;
    default: return kind_n_to_n_pixel_alpha;
    }
}

static int choose_packed(SDL_Surface* surface, int blit_index, const SDL_PixelFormat* sf, const SDL_PixelFormat* df)
{
    sdl12_blit_map* map = static_cast<sdl12_blit_map*>(surface->map);
    if (blit_index & 2)
        return choose_alpha(surface, sf, df);
    if (df->BitsPerPixel < 8)
        return kind_none;
    if (blit_index == 1) {
        if (sf->BytesPerPixel == 2 && map->identity)
            return kind_2_to_2_key;
        if (df->BytesPerPixel == 1)
            return kind_n_to_1_key;
        return (sf->Amask && df->Amask) ? kind_n_to_n_key_copy_alpha : kind_n_to_n_key;
    }
    if (df->BitsPerPixel == 8) {
        if (sf->BytesPerPixel == 4 && sf->Rmask == 0xFF0000 && sf->Gmask == 0xFF00 && sf->Bmask == 0xFF && !map->table)
            return kind_rgb888_to_332;
        return kind_n_to_1;
    }
    int order = order_565_to_8888(sf, df);
    if (order >= 0) {
        std::free(map->table);
        map->table = map_565_to_32(df, orders_565_to_32[order]);
        return map->table ? kind_565_to_32 : kind_none;
    }
    if (sf->BytesPerPixel == 4 && df->BytesPerPixel == 4 && sf->Rmask == df->Rmask && sf->Gmask == df->Gmask &&
        sf->Bmask == df->Bmask)
        return kind_4_to_4_mask_alpha;
    if (df->Amask && sf->Amask)
        return kind_n_to_n_copy_alpha;
    return kind_n_to_n;
}

static int choose_palettized(int blit_index, const SDL_PixelFormat* df)
{
    int which = df->BitsPerPixel < 8 ? 0 : df->BytesPerPixel;
    if (which == 0)
        return kind_none;
    switch (blit_index) {
    case 0: return kind_1_to_n;
    case 1: return kind_1_to_n_key;
    case 2: return which >= 2 ? kind_1_to_n_alpha : kind_none;
    default: return which >= 2 ? kind_1_to_n_alpha_key : kind_none;
    }
}

static int choose_bitmap(int blit_index, const SDL_PixelFormat* sf, const SDL_PixelFormat* df)
{
    if (sf->BitsPerPixel != 1)
        return kind_none;
    int which = df->BitsPerPixel < 8 ? 0 : df->BytesPerPixel;
    if (which == 0)
        return kind_none;
    switch (blit_index) {
    case 0: return kind_bits_to_n;
    case 1: return kind_bits_to_n_key;
    case 2: return which >= 2 ? kind_bits_to_n_alpha : kind_none;
    default: return kind_none;  // 1.2 has no keyed alpha blit from bitmaps
    }
}

static int calculate_blit(SDL_Surface* surface)
{
    sdl12_blit_map* map = static_cast<sdl12_blit_map*>(surface->map);
    if (surface->flags & SDL_RLEACCEL)
        sdl12_unrle_surface(surface, 1);
    const SDL_PixelFormat* sf = surface->format;
    const SDL_PixelFormat* df = map->dst->format;
    int blit_index = (surface->flags & SDL_SRCCOLORKEY) ? 1 : 0;
    if ((surface->flags & SDL_SRCALPHA) && (sf->alpha != SDL_ALPHA_OPAQUE || sf->Amask))
        blit_index |= 2;

    int kind;
    if (map->identity && blit_index == 0)
        kind = surface == map->dst ? kind_copy_overlap : kind_copy;
    else if (sf->BitsPerPixel < 8)
        kind = choose_bitmap(blit_index, sf, df);
    else if (sf->BytesPerPixel == 1)
        kind = choose_palettized(blit_index, df);
    else if (sf->BytesPerPixel <= 4)
        kind = choose_packed(surface, blit_index, sf, df);
    else
        kind = kind_none;
    if (kind == kind_none) {
        sdl12_invalidate_map(map);
        SDL_SetError("Blit combination not supported");
        return -1;
    }
    map->kind = kind;

    map->run_length = rle_none;
    if (surface->flags & SDL_RLEACCELOK) {
        if (map->identity && (blit_index == 1 || (blit_index == 3 && !sf->Amask))) {
            if (sdl12_rle_surface(surface) == 0)
                map->run_length = rle_colorkey;
        } else if (blit_index == 2 && sf->Amask) {
            if (sdl12_rle_surface(surface) == 0)
                map->run_length = rle_alpha;
        }
    }
    return 0;
}

int sdl12_map_surface(SDL_Surface* src, SDL_Surface* dst)
{
    sdl12_blit_map* map = static_cast<sdl12_blit_map*>(src->map);
    if (src->flags & SDL_RLEACCEL)
        sdl12_unrle_surface(src, 1);
    sdl12_invalidate_map(map);

    map->identity = 0;
    const SDL_PixelFormat* sf = src->format;
    const SDL_PixelFormat* df = dst->format;
    if (sf->BytesPerPixel == 1) {
        if (df->BytesPerPixel == 1) {
            map->table = map_1_to_1(sf->palette, df->palette, &map->identity);
            if (!map->identity && !map->table)
                return -1;
            if (sf->BitsPerPixel != df->BitsPerPixel)
                map->identity = 0;
        } else {
            map->table = map_1_to_n(sf, df);
            if (!map->table)
                return -1;
        }
    } else if (df->BytesPerPixel == 1) {
        map->table = map_n_to_1(df, &map->identity);
        if (!map->identity && !map->table)
            return -1;
        map->identity = 0;  // never a plain copy
    } else if (sf->BitsPerPixel == df->BitsPerPixel && sf->Rmask == df->Rmask && sf->Amask == df->Amask) {
        map->identity = 1;
    }
    map->dst = dst;
    map->format_version = dst->format_version;
    return calculate_blit(src);
}

int sdl12_run_blit(SDL_Surface* src, SDL_Rect* srcrect, SDL_Surface* dst, SDL_Rect* dstrect)
{
    sdl12_blit_map* map = static_cast<sdl12_blit_map*>(src->map);
    if (map->run_length) {
        bool lock = SDL_MUSTLOCK(dst);
        if (lock)
            SDL_LockSurface(dst);
        if (map->run_length == rle_colorkey)
            rle_colorkey_blit(src, srcrect, dst, dstrect);
        else
            rle_alpha_blit(src, srcrect, dst, dstrect);
        if (lock)
            SDL_UnlockSurface(dst);
        return 0;
    }

    bool dst_locked = SDL_MUSTLOCK(dst);
    if (dst_locked)
        SDL_LockSurface(dst);
    bool src_locked = SDL_MUSTLOCK(src);
    if (src_locked)
        SDL_LockSurface(src);
    if (srcrect->w && srcrect->h) {
        blit_job job;
        int sbpp = src->format->BytesPerPixel;
        int dbpp = dst->format->BytesPerPixel;
        job.src = static_cast<Uint8*>(src->pixels) + static_cast<Uint16>(srcrect->y) * src->pitch +
                  static_cast<Uint16>(srcrect->x) * sbpp;
        job.src_skip = src->pitch - srcrect->w * sbpp;
        job.dst = static_cast<Uint8*>(dst->pixels) + static_cast<Uint16>(dstrect->y) * dst->pitch +
                  static_cast<Uint16>(dstrect->x) * dbpp;
        job.w = dstrect->w;
        job.h = dstrect->h;
        job.dst_skip = dst->pitch - job.w * dbpp;
        job.sf = src->format;
        job.df = dst->format;
        job.table = map->table;
        run_kind(job, map->kind);
    }
    if (dst_locked)
        SDL_UnlockSurface(dst);
    if (src_locked)
        SDL_UnlockSurface(src);
    return 0;
}
