// `sprite FILE [--frame N | --anim A] [--png OUT] [--images A;B]`: a ".bsprite" file one record a
// line (modules, frame-modules, frames, animation frames, animations); with --png, frame N (0
// unless given) or every frame of animation A side by side, painted through the real quad
// batcher on a headless GL ES context and written as PNG. Images are those the pack table of the
// file's folder names for it (a "_P" folder counts as its pack), or --images; they are looked
// up beside the file.

#include "EngineOutput.h"
#include "Tool.h"

#include "engine/EngineServices.h"
#include "engine/core/ProcessBuffer.h"
#include "engine/io/CFileSystem.h"
#include "engine/video/gl/COpenGLESDriver.h"
#include "engine/video/gl/GLDispatch.h"
#include "engine/video/CTextureManager.h"
#include "engine/video/ITexture.h"
#include "framework/CAISprite.h"
#include "framework/CBatchSpriteTarget.h"
#include "framework/CM3DRender.h"
#include "framework/PackTables.h"
#include "framework/ResourceContext.h"
#include "framework/ScreenGeometry.h"
#include "framework/ViDuz.h"
#include "tools/formats/PngWriter.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using namespace pravik;
namespace stdfs = std::filesystem;

constexpr int kSurfaceW = 600, kSurfaceH = 1024, kPad = 4;

const char* const kKinds[] = {"image", "kind1", "rect", "kind3", "kind4", "marker", "arc", "arc", "line",
                              "gradient"};

void printSprite(const CAISprite& s)
{
    std::printf("sprite flags 0x%X modules %d fmodules %d frames %d aframes %d anims %d\n", s.m_flags,
                s.m_moduleCount, s.m_fmoduleCount, s.m_frameCount, s.m_aframeCount, s.m_animCount);
    for (int m = 0; m < s.m_moduleCount; ++m) {
        const int kind = s.m_moduleKind[size_t(m)];
        std::printf("module %d %s", m, kind < 10 ? kKinds[kind] : "?");
        if (kind == MODULE_IMAGE)
            std::printf(" %d", s.m_moduleImage[size_t(m)]);
        std::printf(" x %d y %d w %d h %d", s.m_moduleX[size_t(m)], s.m_moduleY[size_t(m)], s.m_moduleW[size_t(m)],
                    s.m_moduleH[size_t(m)]);
        if (kind == MODULE_RECT || kind == MODULE_LINE || kind == MODULE_GRADIENT)
            std::printf(" colour 0x%08X", s.m_moduleColor[size_t(m)]);
        std::printf("\n");
    }
    for (int k = 0; k < s.m_fmoduleCount; ++k) {
        const CAISprite::SFModule fm = s.FModule(k);
        std::printf("fmodule %d %s %d x %d y %d flags 0x%X", k, fm.flags & FM_NESTED ? "frame" : "module", fm.index,
                    fm.x, fm.y, fm.flags);
        if (s.m_fmoduleSize >= 10)
            std::printf(" extra %d scale %d %d", fm.extra, fm.scaleX, fm.scaleY);
        std::printf("\n");
    }
    for (int f = 0; f < s.m_frameCount; ++f)
        std::printf("frame %d fmodules %d first %d\n", f, s.FrameFModuleCount(f), s.FrameFirstFModule(f));
    for (int k = 0; k < s.m_aframeCount; ++k) {
        const CAISprite::SAFrame af = s.AFrame(k);
        std::printf("aframe %d frame %d time %d dx %d dy %d flags 0x%X\n", k, af.frame, af.time, af.dx, af.dy,
                    af.flags);
    }
    for (int a = 0; a < s.m_animCount; ++a)
        std::printf("anim %d aframes %d first %d\n", a, s.AnimAFrameCount(a), s.AnimFirstAFrame(a));
}

// The images the pack table of the file's folder names for it, "" when it names none.
std::string tableImages(const stdfs::path& file)
{
    std::string folder = file.parent_path().filename().string();
    if (folder.size() > 2 && folder.compare(folder.size() - 2, 2, "_P") == 0)
        folder.resize(folder.size() - 2);
    const SPackTable* table = FindPackTable(folder.c_str());
    if (!table || !table->textures)
        return {};
    const std::string stem = file.stem().string();
    for (int i = 0; i < table->count; ++i)
        if (table->names[i] && stem == stdfs::path(table->names[i]).stem().string())
            return table->textures[i] ? table->textures[i] : "";
    return {};
}

// A headless GL ES 1.1 context with a pbuffer of the game's screen.
bool headlessContext(std::string& why)
{
    EGLDisplay display = eglGetPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display == EGL_NO_DISPLAY || !eglInitialize(display, nullptr, nullptr))
        return why = "no EGL display", false;
    const EGLint attributes[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_ES_BIT,
                                 EGL_RED_SIZE, 8, EGL_ALPHA_SIZE, 8, EGL_NONE};
    EGLConfig config;
    EGLint n = 0;
    if (!eglChooseConfig(display, attributes, &config, 1, &n) || n < 1)
        return why = "no GL ES 1 configuration", false;
    eglBindAPI(EGL_OPENGL_ES_API);
    const EGLint version[] = {EGL_CONTEXT_CLIENT_VERSION, 1, EGL_NONE};
    const EGLint size[] = {EGL_WIDTH, kSurfaceW, EGL_HEIGHT, kSurfaceH, EGL_NONE};
    EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, version);
    EGLSurface surface = eglCreatePbufferSurface(display, config, size);
    if (!eglMakeCurrent(display, surface, surface, context) || !video::loadGLDispatch())
        return why = "cannot make a GL ES context current", false;
    return true;
}

struct Cell {
    int anim, index;   // anim -1: frame `index`
    int rect[4];       // left, top, right, bottom about the paint point
    int x = 0, y = 0;  // paint point on the surface
};

int render(CAISprite& sprite, const stdfs::path& dir, const std::string& images, std::vector<Cell> cells,
           const char* out)
{
    tool::QuietStdout quiet;   // the engine's progress lines
    std::string why;
    if (!headlessContext(why))
        return tool::fail("sprite", why);
    core::setProcessBufferHeapSize(0x10000);
    CEngineServicesScope services;   // the texture manager of a driver without a device
    video::COpenGLESDriver* driver = video::createOpenGLES1Driver(nullptr, {kSurfaceW, kSurfaceH});
    if (!driver || !driver->getTextureManager())
        return tool::fail("sprite", "no GL ES driver");
    const boost::intrusive_ptr<io::CFileSystem> files(new io::CFileSystem());   // counts from 0
    files->addFolderFileArchive(dir.string().c_str(), false, false);
    driver->getTextureManager()->setFileSystem(files.get());
    driver->setOption(pravik::video::EVDO_MIPMAPS, false);   // no mip levels, as the game makes them
    int status = 0;
    {
        CScopedResourceContext context(SResourceContext{files.get(), driver});
        ScreenGeometry_SetMode(RESOLUTION_MODE_600X1024);
        // The images, by the names the table gives, beside the file.
        std::vector<std::string> names(1);
        for (char c : images)
            if (c == ';')
                names.emplace_back();
            else
                names.back().push_back(c);
        sprite.m_textures.assign(names.size(), nullptr);
        sprite.m_imageCount = int(names.size());
        std::string missing;
        for (size_t i = 0; i < names.size(); ++i) {
            for (const char* ext : {".png", ".bmp", ".tga"})
                if (stdfs::exists(dir / (names[i] + ext))) {
                    sprite.m_textures[i] = driver->getTextureManager()->getTexture((names[i] + ext).c_str());
                    break;
                }
            if (!sprite.m_textures[i] && missing.empty())
                missing = names[i];
        }
        if (!missing.empty()) {
            sprite.m_textures.clear();
            status = tool::fail("sprite", "image " + missing + " does not load from " + dir.string());
        }
        if (status != 0) {
            driver->drop();
            return status;
        }
        // Cells in rows across the surface.
        int x = kPad, y = kPad, rowH = 0, width = 0, height = 0;
        for (Cell& c : cells) {
            const int w = c.rect[2] - c.rect[0], h = c.rect[3] - c.rect[1];
            if (x + w + kPad > kSurfaceW && x > kPad) {
                x = kPad;
                y += rowH + kPad;
                rowH = 0;
            }
            c.x = x - c.rect[0];
            c.y = y - c.rect[1];
            x += w + kPad;
            rowH = std::max(rowH, h);
            width = std::max(width, x);
            height = std::max(height, y + rowH + kPad);
        }
        width = std::clamp(width, 1, kSurfaceW);
        height = std::clamp(height, 1, kSurfaceH);
        CM3DRender batcher;
        CBatchSpriteTarget target;
        SetSpriteTarget(&target);
        ViDuz::SetClip(0, 0, kSurfaceW, kSurfaceH);
        batcher.BeginScene();
        batcher.Clear(0, 0, 0);
        video::g_gl.glClearColor(0, 0, 0, 0);
        video::g_gl.glClear(GL_COLOR_BUFFER_BIT);
        batcher.Begin2DRender();
        for (const Cell& c : cells) {
            if (c.anim < 0)
                sprite.PaintFrame(c.index, c.x, c.y, 0);
            else
                sprite.PaintAFrame(c.anim, c.index, c.x, c.y, 0, 0, 0, 255, 0, 100, 100, nullptr);
        }
        batcher.End2DRender();
        std::vector<uint8_t> rgba(size_t(width) * size_t(height) * 4);
        std::vector<uint8_t> row(size_t(kSurfaceW) * 4);
        for (int r = 0; r < height; ++r) {
            video::g_gl.glReadPixels(0, kSurfaceH - 1 - r, kSurfaceW, 1, GL_RGBA, GL_UNSIGNED_BYTE, row.data());
            std::copy(row.begin(), row.begin() + width * 4, rgba.begin() + size_t(r) * size_t(width) * 4);
        }
        SetSpriteTarget(nullptr);
        ViDuz::SetClip(0, 0, 0, 0);
        sprite.m_textures.clear();
        CAISprite::m_pCurrentTexture = nullptr;
        const std::vector<uint8_t> png = formats::images::PngRGBA(width, height, rgba);
        std::ofstream file(out, std::ios::binary);
        if (png.empty() || !file.write(reinterpret_cast<const char*>(png.data()), std::streamsize(png.size())))
            status = tool::fail("sprite", std::string("cannot write ") + out);
    }
    driver->drop();
    return status;
}

int runSprite(std::span<char* const> args)
{
    const char* file = nullptr;
    const char* out = nullptr;
    const char* images = nullptr;
    int frame = -1, anim = -1;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string a = args[i];
        const bool more = i + 1 < args.size();
        if (a == "--frame" && more)
            frame = std::atoi(args[++i]);
        else if (a == "--anim" && more)
            anim = std::atoi(args[++i]);
        else if (a == "--png" && more)
            out = args[++i];
        else if (a == "--images" && more)
            images = args[++i];
        else if (!file && a.rfind("--", 0) != 0)
            file = args[i];
        else
            return tool::fail("sprite", "usage: sprite FILE [--frame N|--anim A] [--png OUT] [--images A;B]");
    }
    if (!file || (frame >= 0 && anim >= 0))
        return tool::fail("sprite", "usage: sprite FILE [--frame N|--anim A] [--png OUT] [--images A;B]");
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return tool::fail("sprite", std::string("cannot open ") + file);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    CAISprite sprite;
    {
        tool::FirstEngineError why(pravik::ELL_WARNING);
        if (!sprite.Load(bytes.data(), bytes.size(), file))
            return tool::fail("sprite", why.text().empty() ? std::string(file) + ": refused" : why.text());
    }
    if (frame >= sprite.m_frameCount || (frame < 0 && anim < 0 && out && sprite.m_frameCount == 0))
        return tool::fail("sprite", std::string(file) + ": no frame " + std::to_string(std::max(frame, 0)));
    if (anim >= sprite.m_animCount)
        return tool::fail("sprite", std::string(file) + ": no animation " + std::to_string(anim));
    if (!out) {
        printSprite(sprite);
        return 0;
    }
    const stdfs::path path(file);
    const std::string names = images ? images : tableImages(path);
    if (names.empty())
        return tool::fail("sprite", std::string(file) + ": no pack table names its images (give --images A;B)");
    std::vector<Cell> cells;
    if (anim >= 0) {
        for (int k = 0; k < sprite.AnimAFrameCount(anim); ++k) {
            const CAISprite::SAFrame af = sprite.AFrame(sprite.AnimFirstAFrame(anim) + k);
            Cell c{anim, k, {}};
            sprite.GetFrameRect(c.rect, af.frame, af.dx, af.dy, af.flags);   // a flipped frame extends the other way
            cells.push_back(c);
        }
    } else {
        Cell c{-1, std::max(frame, 0), {}};
        sprite.GetFrameRect(c.rect, c.index, 0, 0, 0);
        cells.push_back(c);
    }
    const stdfs::path dir = path.has_parent_path() ? path.parent_path() : stdfs::path(".");
    const int status = render(sprite, dir, names, cells, out);
    if (status == 0)
        printSprite(sprite);   // the records once the picture is written
    return status;
}

tool::ToolCommand spriteCommand("sprite", "FILE [--frame N|--anim A] [--png OUT] [--images A;B]", runSprite);

}  // namespace
