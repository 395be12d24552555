// Sprite loading: the ".bsprite" parser with its checks, the folder chosen by resolution mode,
// and the images that become textures.
//
// Module payloads by type byte (with flag 0x10 / without):
//   0x00 image  [u8 image if 0x4] [x, y: s16 if 0x20, else u8 if 0x2, else 0] [w, h: s16 / u8]
//   0xFF kind 1 skip 8 / 6      0xFE rect   u32 colour, u16 w, u16 h / skip 6
//   0xFD marker u16 w, u16 h / skip 2       0xFC kind 3, 0xFB kind 4 skip 12 / 10
//   0xFA, 0xF9 arcs u32 colour + four s16 (both)     0xF8 line u32 colour, u16 w, u16 h / skip 6
//   0xF7 gradient u32, u32, u8 direction, u16 w, u16 h / skip 11
//   any other byte: no payload, an image module of zeros

#include "framework/CAISprite.h"

#include "engine/io/IFileSystem.h"
#include "engine/io/IReadFile.h"
#include "engine/os/Printer.h"
#include "engine/video/CTextureManager.h"
#include "engine/video/ITexture.h"
#include "engine/video/IVideoDriver.h"
#include "framework/CByteReader.h"
#include "framework/GameInterface.h"
#include "framework/ResourceContext.h"
#include "framework/ScreenGeometry.h"
#include "framework/ViDuz.h"

#include <cstdio>
#include <cstring>
#include <string>

using namespace pravik;

boost::intrusive_ptr<video::CImage> CAISprite::g_pImage;
int CAISprite::g_bImageScaled = 0;
video::ITexture* CAISprite::m_pCurrentTexture = nullptr;

const uint8_t ColorsDefinedForFont[COLOR_COUNT][4] = {
    {255, 0, 0, 255},   {0, 255, 0, 255},     {0, 102, 155, 255}, {0, 0, 255, 255},  {255, 255, 255, 255},
    {0, 0, 0, 255},     {255, 255, 0, 255},   {245, 236, 137, 255}, {0, 82, 71, 255}, {230, 60, 180, 255}};

static const char* const PICTURE_TYPE[] = {".png", ".bmp", ".tga"};

CAISprite::CAISprite() : pravik::IReferenceCounted(1) {}

CAISprite::CAISprite(int dataId, const char* folder) : pravik::IReferenceCounted(1)
{
    LoadSprite(dataId, folder);
}

static video::CTextureManager* textureManager()
{
    video::IVideoDriver* driver = GetResourceContext().driver;
    return driver ? driver->getTextureManager() : nullptr;
}

CAISprite::~CAISprite()
{
    video::CTextureManager* manager = textureManager();
    for (TexturePtr& t : m_textures) {
        video::ITexture* raw = t.get();
        if (!raw)
            continue;
        if (m_pCurrentTexture == raw)
            m_pCurrentTexture = nullptr;
        // Out of the registry, so a later load reads the file again; a texture another
        // sprite still holds stays.
        raw->grab();
        t.reset();
        if (manager)
            manager->removeTexture(raw);
        raw->drop();
    }
    if (m_ownsCharMap)
        delete[] m_charMap;
}

void CAISprite::clear()
{
    m_moduleCount = m_frameCount = m_fmoduleCount = m_aframeCount = m_animCount = 0;
    m_moduleX.clear(); m_moduleY.clear(); m_moduleW.clear(); m_moduleH.clear();
    m_moduleImage.clear(); m_moduleKind.clear(); m_moduleColor.clear();
    m_moduleColor2.clear(); m_moduleDirection.clear(); m_moduleArc.clear();
    m_frameFmCount.clear(); m_frameFirst.clear(); m_frameRects.clear(); m_frameRects2.clear();
    m_markerStart.clear(); m_fmodules.clear(); m_markerRects.clear();
    m_aframes.clear(); m_animFrameCount.clear(); m_animFirst.clear();
    m_flags = m_extFlags = 0;
    m_recordAdvance.clear();
    m_fontSpacing = 0;
}

// --- parsing ---------------------------------------------------------------------------------

static void readRects(CByteReader& in, std::vector<int16_t>& out, int n, bool wide)
{
    out.assign(size_t(n) * 4, 0);
    for (int16_t& v : out)
        v = wide ? in.s16() : int16_t(in.u8());
}

bool CAISprite::Load(const unsigned char* data, size_t size, const char* what)
{
    clear();
    CByteReader in(data, size);
    const int16_t version = in.s16();
    if (in.failed() || (version != BSPRITE_V3 && version != BSPRITE_V4 && version != BSPRITE_V5)) {
        os::Printer::logf(ELL_WARNING, "%s: not a sprite file (version 0x%04X)", what, uint16_t(version));
        return false;
    }
    const uint32_t flags = in.u32();
    const uint32_t ext = version == BSPRITE_V4 ? in.u32() : 0;
    const bool big = flags & BS_MODULES_BIG;
    const char* why = nullptr;

    if (!in.failed() && (flags & BS_MODULES)) {
        const int n = in.u16();
        m_moduleCount = n;
        m_moduleX.assign(n, 0); m_moduleY.assign(n, 0); m_moduleW.assign(n, 0); m_moduleH.assign(n, 0);
        m_moduleImage.assign(n, 0); m_moduleKind.assign(n, 0); m_moduleColor.assign(n, 0);
        for (int i = 0; i < n && !in.failed(); ++i) {
            const uint8_t type = in.u8();
            switch (type) {
            case 0x00:
                if (flags & BS_MODULE_IMAGE)
                    m_moduleImage[i] = in.u8();
                if (flags & BS_MODULE_XY16) {
                    m_moduleX[i] = in.s16();
                    m_moduleY[i] = in.s16();
                } else if (flags & BS_MODULE_XY8) {
                    m_moduleX[i] = in.u8();
                    m_moduleY[i] = in.u8();
                }
                if (big) {
                    m_moduleW[i] = in.s16();
                    m_moduleH[i] = in.s16();
                } else {
                    m_moduleW[i] = in.u8();
                    m_moduleH[i] = in.u8();
                }
                break;
            case 0xFF: m_moduleKind[i] = 1; in.skip(big ? 8 : 6); break;
            case 0xFC: m_moduleKind[i] = 3; in.skip(big ? 12 : 10); break;
            case 0xFB: m_moduleKind[i] = 4; in.skip(big ? 12 : 10); break;
            case 0xFE:
            case 0xF8:
                m_moduleKind[i] = type == 0xFE ? MODULE_RECT : MODULE_LINE;
                if (big) {
                    m_moduleColor[i] = in.u32();
                    m_moduleW[i] = int16_t(in.u16());
                    m_moduleH[i] = int16_t(in.u16());
                } else {
                    in.skip(6);
                }
                break;
            case 0xFD:
                m_moduleKind[i] = MODULE_MARKER;
                if (big) {
                    m_moduleW[i] = int16_t(in.u16());
                    m_moduleH[i] = int16_t(in.u16());
                } else {
                    in.skip(2);
                }
                break;
            case 0xFA:
            case 0xF9:
                m_moduleKind[i] = type == 0xFA ? MODULE_ARC6 : MODULE_ARC7;
                if (m_moduleArc.empty())
                    m_moduleArc.assign(size_t(n) * 4, 0);
                m_moduleColor[i] = in.u32();
                for (int k = 0; k < 4; ++k)
                    m_moduleArc[size_t(i) * 4 + k] = in.s16();
                break;
            case 0xF7:
                m_moduleKind[i] = MODULE_GRADIENT;
                if (big) {
                    if (m_moduleColor2.empty()) {
                        m_moduleColor2.assign(n, 0);
                        m_moduleDirection.assign(n, 0);
                    }
                    m_moduleColor[i] = in.u32();
                    m_moduleColor2[i] = in.u32();
                    m_moduleDirection[i] = in.u8();
                    m_moduleW[i] = int16_t(in.u16());
                    m_moduleH[i] = int16_t(in.u16());
                } else {
                    in.skip(11);
                }
                break;
            default:
                break;  // an image module of zeros
            }
        }
    }

    if (!in.failed() && (flags & BS_FRAMES)) {
        m_fmoduleSize = (flags & BS_FM_OFF16) ? 6 : 4;
        if (ext & BS_EXT_FMODULE)
            m_fmoduleSize += 6;
        m_fmoduleCount = in.u16();
        if (const uint8_t* block = in.take(size_t(m_fmoduleCount) * m_fmoduleSize))
            m_fmodules.assign(block, block + size_t(m_fmoduleCount) * m_fmoduleSize);
        if (flags & BS_MARKERS)
            readRects(in, m_markerRects, in.u16(), flags & BS_FM_OFF16);
        m_frameCount = in.u16();
        m_frameFmCount.assign(m_frameCount, 0);
        m_frameFirst.assign(m_frameCount, 0);
        m_markerStart.assign(size_t(m_frameCount) + 1, 0);
        for (int f = 0; f < m_frameCount && !in.failed(); ++f) {
            m_frameFmCount[f] = (flags & BS_FM_COUNT16) ? in.u16() : in.u8();
            m_frameFirst[f] = in.u16();
            const int markers = (flags & BS_MARKERS) ? in.u8() : 0;
            m_markerStart[f + 1] = uint16_t(m_markerStart[f] + markers);
        }
        if (m_frameCount > 0) {
            if (!(flags & BS_NO_FRAME_RECTS))
                readRects(in, m_frameRects, m_frameCount, flags & BS_FM_OFF16);
            if (flags & BS_FRAME_RECTS2)
                readRects(in, m_frameRects2, m_frameCount, flags & BS_FM_OFF16);
        }
    }

    if (!in.failed() && (flags & BS_ANIMS)) {
        m_aframeSize = (flags & BS_AF_OFF16) ? 7 : 5;
        m_aframeCount = in.u16();
        if (const uint8_t* block = in.take(size_t(m_aframeCount) * m_aframeSize))
            m_aframes.assign(block, block + size_t(m_aframeCount) * m_aframeSize);
        m_animCount = in.u16();
        m_animFrameCount.assign(m_animCount, 0);
        m_animFirst.assign(m_animCount, 0);
        for (int a = 0; a < m_animCount && !in.failed(); ++a) {
            m_animFrameCount[a] = in.u8();
            m_animFirst[a] = in.u16();
        }
    }

    m_flags = flags;
    m_extFlags = ext;
    if (in.failed())
        why = "a section runs past the end of the file";

    // Every index a painter follows must land in its table.
    for (int k = 0; !why && k < m_fmoduleCount; ++k) {
        const SFModule fm = FModule(k);
        if (fm.flags & FM_NESTED ? fm.index >= m_frameCount : fm.index >= m_moduleCount)
            why = "a frame-module names a module or frame past its table";
    }
    for (int f = 0; !why && f < m_frameCount; ++f)
        if (int(m_frameFirst[f]) + m_frameFmCount[f] > m_fmoduleCount)
            why = "a frame's frame-modules run past their table";
    for (int k = 0; !why && k < m_aframeCount; ++k)
        if (AFrame(k).frame >= m_frameCount)
            why = "an animation frame names a frame past its table";
    for (int a = 0; !why && a < m_animCount; ++a)
        if (int(m_animFirst[a]) + m_animFrameCount[a] > m_aframeCount)
            why = "an animation's frames run past their table";
    if (!why) {
        // Nested frames must not contain themselves: depth-first with colours.
        std::vector<uint8_t> mark(m_frameCount, 0);  // 0 new, 1 open, 2 done
        std::vector<std::pair<int, int>> stack;
        for (int root = 0; !why && root < m_frameCount; ++root) {
            if (mark[root])
                continue;
            stack.push_back({root, 0});
            mark[root] = 1;
            while (!stack.empty() && !why) {
                auto& [f, i] = stack.back();
                if (i >= m_frameFmCount[f]) {
                    mark[f] = 2;
                    stack.pop_back();
                    continue;
                }
                const SFModule fm = FModule(m_frameFirst[f] + i++);
                if (!(fm.flags & FM_NESTED))
                    continue;
                if (mark[fm.index] == 1)
                    why = "nested frames form a cycle";
                else if (mark[fm.index] == 0) {
                    mark[fm.index] = 1;
                    stack.push_back({fm.index, 0});
                }
            }
        }
    }
    if (why) {
        os::Printer::logf(ELL_WARNING, "%s: sprite refused: %s", what, why);
        clear();
        return false;
    }
    return true;
}

CAISprite::SAFrame CAISprite::AFrame(int k) const
{
    SAFrame r{0, 0, 0, 0, 0};
    if (k < 0 || k >= m_aframeCount)
        return r;
    const uint8_t* p = &m_aframes[size_t(k) * m_aframeSize];
    r.time = p[1];
    if (m_aframeSize == 7) {
        r.dx = int16_t(p[2] | p[3] << 8);
        r.dy = int16_t(p[4] | p[5] << 8);
        r.flags = p[6];
    } else {
        r.dx = int8_t(p[2]);
        r.dy = int8_t(p[3]);
        r.flags = p[4];
    }
    r.frame = p[0] | (r.flags & 0xC0) << 2;
    return r;
}

// --- folders and images ----------------------------------------------------------------------

static bool isOneOf(const char* s, std::initializer_list<const char*> set)
{
    for (const char* e : set)
        if (s && std::strcmp(s, e) == 0)
            return true;
    return false;
}

int CAISprite::IsCurrentSpriteUseMoreColorImage(const char*, const char*, const char* folder)
{
    return isOneOf(folder, {"7", "8", "9", "11", "15"});
}

int CAISprite::IsCurrentSpriteUseBigImageToScaleSmallImage(const char*, const char*, const char* folder)
{
    return isOneOf(folder, {"7", "11", "2", "8", "4"});
}

int CAISprite::IsCurrentSpriteUseBigImageToScaleSmallImage_3GS(const char*, const char* images, const char* folder)
{
    const bool f15 = isOneOf(folder, {"15"});
    if (isOneOf(folder, {"8"}) || (f15 && isOneOf(images, {"Bricks_Menu"})))
        return 1;
    if (isOneOf(folder, {"4", "2", "11"}) || (f15 && isOneOf(images, {"map_icons"})))
        return 2;
    return 0;
}

void CAISprite::ChooseFolder(int mode, const char* images, const char* folder, char* out, size_t outSize,
                             int* halfTexel, int* scaleDown)
{
    int half = 0, down = 0;
    const char* suffix = "";
    if (mode == 0) {
        half = 1;
        down = IsCurrentSpriteUseBigImageToScaleSmallImage(nullptr, images, folder);
        suffix = down ? "" : "_S";
    } else if (mode == 3) {
        const int r = IsCurrentSpriteUseBigImageToScaleSmallImage_3GS(nullptr, images, folder);
        half = r == 1 || r == 2;
        down = r == 1;
        suffix = r == 2 ? "_S" : "";
    } else if (mode == 2) {
        suffix = IsCurrentSpriteUseMoreColorImage(nullptr, images, folder) ? "_P" : "";
    }
    std::snprintf(out, outSize, "%s%s", folder, suffix);
    if (halfTexel)
        *halfTexel = half;
    if (scaleDown)
        *scaleDown = down;
}

void CAISprite::LoadSprite(int dataId, const char* folder)
{
    LoadSprite(ViDuz::GetResourceNameFromDataID(dataId), ViDuz::GetTextureNameFromDataID(dataId), folder);
}

void CAISprite::Load(const char* folder, int dataId, int)
{
    LoadSprite(dataId, folder);
}

// "<F>/<image><ext>" for the first extension whose file opens, or "".
static std::string findImage(const char* F, const std::string& image)
{
    io::IFileSystem* fs = GetResourceContext().fileSystem;
    if (!fs)
        return {};
    for (const char* ext : PICTURE_TYPE) {
        const std::string path = std::string(F) + "/" + image + ext;
        if (io::IReadFile* file = fs->createAndOpenFile(path.c_str())) {
            file->drop();
            return path;
        }
    }
    return {};
}

static std::vector<std::string> splitImageNames(const char* images)
{
    std::vector<std::string> names(1);
    for (const char* c = images; *c; ++c) {
        if (*c == ';')
            names.emplace_back();
        else
            names.back().push_back(*c);
    }
    if (names.size() > 255)
        names.resize(255);
    return names;
}

void CAISprite::LoadSprite(const char* name, const char* images, const char* folder)
{
    if (!name || !images || !folder)
        return;
    char F[64];
    ChooseFolder(ScreenGeometry_Mode(), images, folder, F, sizeof F, &m_halfTexel, &m_scaleDownImages);
    char path[256];
    if (std::snprintf(path, sizeof path, "%s/%s.bsprite", F, name) >= int(sizeof path))
        return;
    std::vector<uint8_t> bytes;
    if (!ViDuz::ReadWholeFile(path, bytes))
        return;
    Load(bytes.data(), bytes.size(), path);
    loadImages(images, folder, F, sizeof F);
    m_vertices.Create(GetResourceContext().driver);
}

// Halves an image with truncation: 4-bit formats by 2x2 box average per field, 32-bit formats
// by taking the top-left pixel of each block (converted to A8R8G8B8).
static video::ITexture* halfTexture(video::CTextureManager& manager, const std::string& path,
                                    const video::CImagePtr& image)
{
    using namespace video;
    const auto size = image->getDimension();
    const int w = size.Width / 2, h = size.Height / 2;
    const E_PIXEL_FORMAT src = image->getColorFormat();
    const bool four = src == EPF_A4R4G4B4 || src == EPF_R4G4B4A4;
    const bool eight = src == EPF_A8R8G8B8 || src == EPF_R8G8B8A8;
    if (!four && !eight)
        return nullptr;
    const E_PIXEL_FORMAT dst = four ? EPF_R4G4B4A4 : EPF_A8R8G8B8;
    CTextureManager::TexturePtr tex = manager.addTexture(core::dimension2d<int>(w, h), path.c_str(), dst, false);
    if (!tex)
        return nullptr;
    auto* out = static_cast<uint8_t*>(tex->lock());
    const auto* in = static_cast<const uint8_t*>(image->getData());
    const unsigned pitch = image->getPitch();
    if (out && in) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                if (four) {
                    auto at = [&](int sx, int sy) {
                        const uint8_t* p = in + size_t(sy) * pitch + size_t(sx) * 2;
                        return unsigned(p[0] | p[1] << 8);
                    };
                    const unsigned a = at(2 * x, 2 * y), b = at(2 * x + 1, 2 * y), c = at(2 * x, 2 * y + 1),
                                   d = at(2 * x + 1, 2 * y + 1);
                    unsigned v = 0;
                    for (int s = 0; s < 16; s += 4) {
                        const unsigned sum = (a >> s & 15) + (b >> s & 15) + (c >> s & 15) + (d >> s & 15);
                        v |= (sum >> 2) << s;
                    }
                    // A4R4G4B4 and R4G4B4A4 differ by where alpha sits: rotate it to the bottom.
                    if (src == EPF_A4R4G4B4)
                        v = ((v << 4) | (v >> 12)) & 0xFFFF;
                    out[(size_t(y) * w + x) * 2] = uint8_t(v);
                    out[(size_t(y) * w + x) * 2 + 1] = uint8_t(v >> 8);
                } else {
                    const uint8_t* p = in + size_t(2 * y) * pitch + size_t(2 * x) * 4;
                    uint8_t* q = out + (size_t(y) * w + x) * 4;
                    if (src == EPF_R8G8B8A8) {  // memory R,G,B,A -> A,R,G,B
                        q[0] = p[3]; q[1] = p[0]; q[2] = p[1]; q[3] = p[2];
                    } else {
                        std::memcpy(q, p, 4);
                    }
                }
            }
    }
    tex->unlock();
    return tex.get();
}

void CAISprite::loadImages(const char* images, const char* folder, char* F, size_t Fsize)
{
    const std::vector<std::string> names = splitImageNames(images);
    m_imageCount = int(names.size());
    m_textures.assign(names.size(), nullptr);
    video::CTextureManager* manager = textureManager();
    if (!manager)
        return;
    for (size_t i = 0; i < names.size(); ++i) {
        std::string path = findImage(F, names[i]);
        if (path.empty())
            continue;
        if (names[i].compare(0, 10, "bricks_all") == 0 && !g_pImage) {
            const int mode = ScreenGeometry_Mode();
            const int rt = GameInterface().RenderTargetHeight();
            const bool small = mode == 0 || (rt > 0 && rt < 800);
            if (small)
                std::snprintf(F, Fsize, "%s_S", folder);
            else if (mode == 2 && IsCurrentSpriteUseMoreColorImage(nullptr, images, folder))
                std::snprintf(F, Fsize, "%s_P", folder);
            else
                std::snprintf(F, Fsize, "%s", folder);
            path = findImage(F, names[i]);
            if (path.empty())
                continue;
            if (video::CImagePtr image = manager->createImageFromFile(path.c_str()))
                g_pImage = manager->createImage(video::EPF_R4G4B4A4, image);
            g_bImageScaled = small;
        }
        if (!m_scaleDownImages) {
            m_textures[i] = manager->getTexture(path.c_str());
        } else {
            video::CImagePtr image = manager->createImageFromFile(path.c_str());
            if (!image)
                continue;
            const auto size = image->getDimension();
            if (size.Width <= 7 && size.Height <= 7) {
                image = nullptr;
                m_textures[i] = manager->getTexture(path.c_str());
                m_scaleDownImages = 0;
            } else {
                m_textures[i] = halfTexture(*manager, path, image);
            }
        }
        if (video::ITexture* t = m_textures[i].get()) {
            t->setMinFilter(video::ETFT_NEAREST);
            t->setMagFilter(video::ETFT_NEAREST);
            t->setWrapS(video::ETC_CLAMP);
            t->setWrapT(video::ETC_CLAMP);
        }
    }
}

void CAISprite::DecodeImagesAhead(const char* images, const char* folder)
{
    video::CTextureManager* manager = textureManager();
    if (!images || !folder || !manager)
        return;
    char F[64];
    int half = 0, down = 0;
    ChooseFolder(ScreenGeometry_Mode(), images, folder, F, sizeof F, &half, &down);
    if (down)
        return;
    for (const std::string& name : splitImageNames(images)) {
        if (name.compare(0, 10, "bricks_all") == 0)
            continue;
        const std::string path = findImage(F, name);
        if (!path.empty())
            manager->decodeAhead(path.c_str());
    }
}

void CAISprite::NearestImage()
{
    if (!m_textures.empty() && m_textures[0]) {
        m_textures[0]->setMinFilter(video::ETFT_NEAREST);
        m_textures[0]->setMagFilter(video::ETFT_NEAREST);
    }
}
