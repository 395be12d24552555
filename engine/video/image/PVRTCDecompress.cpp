// PVRTC decoding: each pixel blends the colours A and B of the four blocks around it (bilinear
// upscaling of two low-resolution images) by its 2-bit modulation value. The unpacked 2 x 2 block
// neighbourhood is cached and rebuilt only when the pixel moves into other blocks.

#include "engine/video/image/PVRTCDecompress.h"

#include <cstdint>
#include <cstring>

namespace pravik::video {

namespace {

const int RepVals0[4] = {0, 3, 5, 8};
const int RepVals1[4] = {0, 4, 4, 8};

struct SColour {
    int c[4];  // red, green, blue, alpha (5, 5, 5 and 4 bits before interpolation)
};

int xBlocks(bool twoBit, int width) {
    const int n = width / (twoBit ? 8 : 4);
    return n < 2 ? 2 : n;
}
int yBlocks(int height) { return height < 8 ? 2 : height / 4; }

unsigned TwiddleUV(unsigned ySize, unsigned xSize, unsigned yPos, unsigned xPos) {
    const unsigned minDim = xSize < ySize ? xSize : ySize;
    unsigned result = 0;
    unsigned bit = 0;
    for (unsigned k = 0; (1u << k) < minDim; ++k, ++bit) {
        result |= ((yPos >> k) & 1u) << (2 * k);
        result |= ((xPos >> k) & 1u) << (2 * k + 1);
    }
    const unsigned rest = (ySize < xSize ? xPos : yPos) >> bit;
    return result | (rest << (2 * bit));
}

SColour unpackColour(uint32_t colourData, bool colourB) {
    const uint32_t c = colourB ? (colourData >> 16) : (colourData & 0xFFFE);
    SColour out;
    if (c & 0x8000) {
        out.c[0] = (c >> 10) & 31;
        out.c[1] = (c >> 5) & 31;
        out.c[2] = c & 31;
        if (!colourB) out.c[2] |= out.c[2] >> 4;
        out.c[3] = 15;
    } else {
        const int r = (c >> 7) & 30;
        const int g = (c >> 3) & 30;
        out.c[0] = r | (r >> 4);
        out.c[1] = g | (g >> 4);
        int b = (c & 15) << 1;
        b |= colourB ? (b >> 4) : (b >> 3);
        out.c[2] = b;
        out.c[3] = (c >> 11) & 14;
    }
    return out;
}

// Fills the modulation values and modes of one block into the grid at (col, row).
void unpackModulation(const AMTC_BLOCK_STRUCT& block, bool twoBit, int values[8][16],
                      int modes[8][16], int col, int row) {
    uint32_t bits = block.PackedData[0];
    const int mode = block.PackedData[1] & 1;
    if (!twoBit) {
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x) {
                values[row + y][col + x] = int((bits >> (2 * (4 * y + x))) & 3);
                modes[row + y][col + x] = mode;
            }
        return;
    }
    if (!mode) {
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 8; ++x) {
                values[row + y][col + x] = ((bits >> (8 * y + x)) & 1) ? 3 : 0;
                modes[row + y][col + x] = 0;
            }
        return;
    }
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x) {
            modes[row + y][col + x] = 1;
            if (((x + y) & 1) == 0) {
                values[row + y][col + x] = int(bits & 3);
                bits >>= 2;
            } else {
                values[row + y][col + x] = 0;  // derived from the neighbours when decoded
            }
        }
}

void InterpolateColours(const SColour& P, const SColour& Q, const SColour& R, const SColour& S,
                        bool twoBit, int x, int y, int result[4]) {
    const int bw = twoBit ? 8 : 4;
    const int u = (x + bw / 2) % bw;
    const int v = (y + 2) % 4;
    for (int k = 0; k < 4; ++k) {
        const int top = P.c[k] * bw + (Q.c[k] - P.c[k]) * u;
        const int bottom = R.c[k] * bw + (S.c[k] - R.c[k]) * u;
        result[k] = (bottom - top) * v + top * 4;
    }
    if (twoBit) {
        for (int k = 0; k < 3; ++k) result[k] >>= 2;
        result[3] >>= 1;
    } else {
        for (int k = 0; k < 3; ++k) result[k] >>= 1;
    }
    for (int k = 0; k < 3; ++k) result[k] += result[k] >> 5;
    result[3] += result[3] >> 4;
}

void Decompress(const unsigned char* data, bool twoBit, int width, int height,
                unsigned char* output) {
    const int bw = twoBit ? 8 : 4;
    const unsigned xb = unsigned(xBlocks(twoBit, width));
    const unsigned yb = unsigned(yBlocks(height));
    int values[8][16] = {};
    int modes[8][16] = {};
    SColour colA[4], colB[4];
    unsigned cached[4] = {~0u, ~0u, ~0u, ~0u};

    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const unsigned bx0 = (unsigned(x - bw / 2) & unsigned(width - 1)) / unsigned(bw);
            const unsigned bx1 = (bx0 + 1) & (xb - 1);
            const unsigned by0 = (unsigned(y - 2) & unsigned(height - 1)) / 4;
            const unsigned by1 = (by0 + 1) & (yb - 1);
            const unsigned idx[4] = {TwiddleUV(yb, xb, by0, bx0), TwiddleUV(yb, xb, by0, bx1),
                                     TwiddleUV(yb, xb, by1, bx0), TwiddleUV(yb, xb, by1, bx1)};
            if (std::memcmp(idx, cached, sizeof idx) != 0) {
                for (int i = 0; i < 4; ++i) {
                    AMTC_BLOCK_STRUCT b;  // the data need not be aligned
                    std::memcpy(&b, data + size_t(idx[i]) * 8, sizeof b);
                    colA[i] = unpackColour(b.PackedData[1], false);
                    colB[i] = unpackColour(b.PackedData[1], true);
                    unpackModulation(b, twoBit, values, modes, (i & 1) * bw, (i >> 1) * 4);
                }
                std::memcpy(cached, idx, sizeof idx);
            }
            int a[4], b[4];
            InterpolateColours(colA[0], colA[1], colA[2], colA[3], twoBit, x, y, a);
            InterpolateColours(colB[0], colB[1], colB[2], colB[3], twoBit, x, y, b);

            const int cx = bw / 2 + (x + bw / 2) % bw;
            const int cy = 2 + (y + 2) % 4;
            int w;
            bool punch = false;
            if (modes[cy][cx] == 0) {
                w = RepVals0[values[cy][cx]];
            } else if (!twoBit) {
                w = RepVals1[values[cy][cx]];
                punch = values[cy][cx] == 2;
            } else if (((cx + cy) & 1) == 0) {
                w = RepVals0[values[cy][cx]];
            } else {
                w = (RepVals0[values[cy - 1][cx]] + RepVals0[values[cy + 1][cx]] +
                     RepVals0[values[cy][cx - 1]] + RepVals0[values[cy][cx + 1]] + 2) /
                    4;
            }
            unsigned char* out = output + (size_t(y) * width + x) * 4;
            for (int k = 0; k < 4; ++k) out[k] = (unsigned char)((a[k] * 8 + (b[k] - a[k]) * w) >> 3);
            if (punch) out[3] = 0;
        }
    }
}

}  // namespace

unsigned PVRTCDataSize(bool do2bitMode, int width, int height) {
    return unsigned(xBlocks(do2bitMode, width)) * unsigned(yBlocks(height)) * 8u;
}

void PVRTCDecompress(const void* data, int do2bitMode, int width, int height,
                     unsigned char* output) {
    if (width <= 0 || height <= 0) return;
    Decompress(static_cast<const unsigned char*>(data), do2bitMode != 0, width, height,
               output);
}

}  // namespace pravik::video
