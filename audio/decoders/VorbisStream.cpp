#include "audio/decoders/VorbisStream.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <vector>

#include "audio/StreamInterface.h"

namespace kez {

namespace {

StreamCursorInterface* cursorOf(void* source) { return static_cast<StreamCursorInterface*>(source); }

size_t readCallback(void* buffer, size_t size, size_t count, void* source) {
    // The library asks for blocks of a few KB; a request past an int is refused.
    StreamCursorInterface* cursor = cursorOf(source);
    if (!cursor || size == 0 || count > INT_MAX / size) return 0;
    const int n = cursor->Read(static_cast<unsigned char*>(buffer), int(size * count));
    return n > 0 ? size_t(n) / size : 0;
}

int closeCallback(void*) { return 0; }

// Pages as the library finds them: read in 2 KB blocks, skipped bytes counted; a bounded search
// gives up 64 KB after the last page.
class PageReader {
public:
    explicit PageReader(StreamCursorInterface* cursor) : m_cursor(cursor) { ogg_sync_init(&m_sync); }
    ~PageReader() { ogg_sync_clear(&m_sync); }
    PageReader(const PageReader&) = delete;
    PageReader& operator=(const PageReader&) = delete;

    bool next(ogg_page& page, bool bounded = true) {
        const long boundary = m_offset + 65536;
        while (!bounded || m_offset < boundary) {
            const long more = ogg_sync_pageseek(&m_sync, &page);
            if (more > 0) {
                m_offset += more;
                return true;
            }
            if (more < 0) {
                m_offset -= more;
                continue;
            }
            char* buffer = ogg_sync_buffer(&m_sync, 2048);
            const size_t n = buffer ? readCallback(buffer, 1, 2048, m_cursor) : 0;
            if (n == 0) return false;
            ogg_sync_wrote(&m_sync, long(n));
        }
        return false;
    }

private:
    StreamCursorInterface* m_cursor;
    ogg_sync_state m_sync{};
    long m_offset = 0;
};

// The beginning-of-stream pages (distinct serial numbers, one of them Vorbis), then the comment
// and setup headers of that stream before a second set of beginning pages.
bool fetchHeaders(PageReader& reader, ogg_stream_state& os, vorbis_info& vi, vorbis_comment& vc) {
    ogg_page page;
    ogg_packet packet;
    if (!reader.next(page)) return false;
    std::vector<long> serials;
    bool found = false;
    while (ogg_page_bos(&page)) {
        const long serial = ogg_page_serialno(&page);
        if (std::find(serials.begin(), serials.end(), serial) != serials.end()) return false;
        serials.push_back(serial);
        if (!found) {
            ogg_stream_reset_serialno(&os, int(serial));
            ogg_stream_pagein(&os, &page);
            if (ogg_stream_packetout(&os, &packet) > 0 && vorbis_synthesis_idheader(&packet)) {
                found = true;
                if (vorbis_synthesis_headerin(&vi, &vc, &packet) != 0) return false;
            }
        }
        if (!reader.next(page)) return false;
        if (found && os.serialno == ogg_page_serialno(&page)) {
            ogg_stream_pagein(&os, &page);
            break;
        }
    }
    if (!found) return false;
    bool secondBos = false;
    int headers = 0;
    while (headers < 2) {
        while (headers < 2) {
            const int result = ogg_stream_packetout(&os, &packet);
            if (result == 0) break;
            if (result < 0 || vorbis_synthesis_headerin(&vi, &vc, &packet) != 0) return false;
            ++headers;
        }
        while (headers < 2) {
            if (!reader.next(page)) return false;
            if (os.serialno == ogg_page_serialno(&page)) {
                ogg_stream_pagein(&os, &page);
                break;
            }
            if (ogg_page_bos(&page)) {
                if (secondBos) return false;
                secondBos = true;
            }
        }
    }
    return true;
}

// The link's length: from the sound before its first granule position (as the library counts it:
// half the sum of neighbouring block sizes) to the granule position of its last page.
int64_t linkLength(PageReader& reader, ogg_stream_state& os, vorbis_info& vi) {
    ogg_page page;
    ogg_packet packet;
    int64_t offset = 0, last = -1;
    long previousBlock = -1;
    bool more = true;
    while ((more = reader.next(page, false)) && !ogg_page_bos(&page)) {
        if (ogg_page_serialno(&page) != os.serialno) continue;
        ogg_stream_pagein(&os, &page);
        for (int result; (result = ogg_stream_packetout(&os, &packet)) != 0;) {
            if (result < 0) continue;
            const long block = vorbis_packet_blocksize(&vi, &packet);
            if (block < 0) continue;
            if (previousBlock != -1) offset += (previousBlock + block) >> 2;
            previousBlock = block;
        }
        if (ogg_page_granulepos(&page) != -1) {
            offset = ogg_page_granulepos(&page) - offset;
            last = ogg_page_granulepos(&page);
            break;
        }
    }
    offset = std::max<int64_t>(offset, 0);
    if (more && !ogg_page_bos(&page)) {
        while (reader.next(page, false) && !ogg_page_bos(&page))
            if (ogg_page_serialno(&page) == os.serialno) last = ogg_page_granulepos(&page);
    }
    return std::max<int64_t>(std::max<int64_t>(last, 0) - offset, 0);
}

}  // namespace

ov_callbacks VorbisCallbacks() {
    return ov_callbacks{readCallback, nullptr, closeCallback, nullptr};
}

bool ReadVorbisLayout(StreamCursorInterface* cursor, VorbisLayout& layout) {
    if (!cursor) return false;
    const int start = cursor->Tell();
    bool whole = false;
    {
        PageReader reader(cursor);
        ogg_stream_state os;
        vorbis_info vi;
        vorbis_comment vc;
        ogg_stream_init(&os, -1);
        vorbis_info_init(&vi);
        vorbis_comment_init(&vc);
        whole = fetchHeaders(reader, os, vi, vc);
        if (whole) {
            layout.channels = vi.channels;
            layout.rate = vi.rate;
            layout.length = linkLength(reader, os, vi);
        }
        vorbis_comment_clear(&vc);
        vorbis_info_clear(&vi);
        ogg_stream_clear(&os);
    }
    return cursor->Seek(start, SEEK_SET) == 0 && whole;
}

}  // namespace kez
