// Encodes a stereo loop with libvorbisenc and packs it into Ogg pages with libogg.
//
// A Vorbis encoder that starts from silence codes its first blocks short and poorly, and one
// that stops codes its last ones against silence; either is heard as a tick each time the music
// comes round. So the encoder is given the loop with its own end before it and its own start
// after it, and the packets that only cover that lead-in and lead-out are left out of the file.
// A decoder starting on a packet from mid-stream just uses it to prime the overlap, exactly as
// after a seek, so what it returns is steady-state audio from the first sample to the last.
// Granule positions then say where the loop starts and ends inside the first and last packets
// kept: decoders drop samples before the first page's position and after the last one's.
#include <ogg/ogg.h>
#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cstdio>

#include "writers.h"

namespace {

// Any fixed value does; a random serial would make every build's file differ.
constexpr int stream_serial = 0x556d6272;
// Several blocks' worth either side, so the encoder has settled before the loop starts.
constexpr size_t lead = 4096;

struct coded_packet {
    std::vector<unsigned char> data;
    ogg_int64_t end;  // samples decoded once this packet is in, counted from the lead-in's start
};

void append_page(std::vector<unsigned char>& out, const ogg_page& page) {
    out.insert(out.end(), page.header, page.header + page.header_len);
    out.insert(out.end(), page.body, page.body + page.body_len);
}

// Runs the encoder over lead-in, loop and lead-out and keeps every audio packet.
std::vector<coded_packet> encode(vorbis_dsp_state& dsp, vorbis_block& block,
                                 const std::vector<float>& left, const std::vector<float>& right) {
    std::vector<coded_packet> packets;
    auto drain = [&] {
        ogg_packet packet;
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            while (vorbis_bitrate_flushpacket(&dsp, &packet))
                packets.push_back({std::vector<unsigned char>(packet.packet, packet.packet + packet.bytes),
                                   packet.granulepos});
        }
    };
    const size_t frames = left.size(), total = frames + 2 * lead, chunk = 2048;
    for (size_t pos = 0; pos < total; pos += chunk) {
        size_t count = std::min(chunk, total - pos);
        float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(count));
        for (size_t i = 0; i < count; ++i) {
            // Position `pos + i` of the encoder's input is this sample of the loop.
            size_t from = (pos + i + frames - lead % frames) % frames;
            buffer[0][i] = left[from];
            buffer[1][i] = right[from];
        }
        vorbis_analysis_wrote(&dsp, static_cast<int>(count));
        drain();
    }
    vorbis_analysis_wrote(&dsp, 0);
    drain();
    return packets;
}

bool save(const std::string& path, const std::vector<unsigned char>& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::perror(path.c_str());
        return false;
    }
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = std::fclose(f) == 0 && ok;
    if (!ok) std::fprintf(stderr, "%s: write failed\n", path.c_str());
    return ok;
}

}  // namespace

bool write_ogg_loop(const std::string& path, const std::vector<float>& left,
                    const std::vector<float>& right, int rate, float quality,
                    const std::string& title) {
    const ogg_int64_t frames = static_cast<ogg_int64_t>(std::min(left.size(), right.size()));
    if (frames < static_cast<ogg_int64_t>(lead) || left.size() != right.size()) {
        std::fprintf(stderr, "%s: channels differ or the loop is too short\n", path.c_str());
        return false;
    }
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, 2, rate, quality) != 0) {
        std::fprintf(stderr, "%s: vorbis encoder refused %d Hz at quality %.2f\n", path.c_str(),
                     rate, quality);
        vorbis_info_clear(&info);
        return false;
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_comment_add_tag(&comment, "TITLE", title.c_str());
    vorbis_dsp_state dsp;
    vorbis_block block;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block_init(&dsp, &block);

    ogg_stream_state stream;
    ogg_stream_init(&stream, stream_serial);
    std::vector<unsigned char> file;
    ogg_page page;
    ogg_packet header, header_comment, header_codebooks;
    vorbis_analysis_headerout(&dsp, &comment, &header, &header_comment, &header_codebooks);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &header_comment);
    ogg_stream_packetin(&stream, &header_codebooks);
    // Headers get pages of their own so audio starts on a fresh page, as decoders expect.
    while (ogg_stream_flush(&stream, &page)) append_page(file, page);

    std::vector<coded_packet> packets = encode(dsp, block, left, right);

    // The primer: the last packet whose samples all lie in the lead-in. The packet after it
    // decodes to the first samples returned, and the loop starts within it.
    const ogg_int64_t start = static_cast<ogg_int64_t>(lead), stop = start + frames;
    size_t first = 0;
    while (first + 1 < packets.size() && packets[first + 1].end <= start) ++first;
    size_t last = first + 1;
    while (last < packets.size() && packets[last].end < stop) ++last;
    bool ok = last < packets.size() && first + 1 < last;
    for (size_t k = first; ok && k <= last; ++k) {
        coded_packet& p = packets[k];
        ogg_packet out{};
        out.packet = p.data.data();
        out.bytes = static_cast<long>(p.data.size());
        out.granulepos = k == last ? frames : p.end - start;
        out.e_o_s = k == last;
        out.packetno = static_cast<ogg_int64_t>(k - first + 3);
        ogg_stream_packetin(&stream, &out);
        // The first page holds just the primer and the packet after it, so the samples before
        // the loop's start are the only ones a decoder has to drop.
        if (k == first + 1) {
            while (ogg_stream_flush(&stream, &page)) append_page(file, page);
        }
        while (ogg_stream_pageout(&stream, &page)) append_page(file, page);
    }
    while (ogg_stream_flush(&stream, &page)) append_page(file, page);
    if (!ok) std::fprintf(stderr, "%s: the encoder's packets don't cover the loop\n", path.c_str());

    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return ok && save(path, file);
}
