// quendrax-tool font FILE|--builtin [--size N] [--text T]: loads a font through the GUI
// environment of a null-driver engine. A bitmap font (an image in the marker convention, its XML
// description, or the built-in font) prints one glyph a line: character, sprite, rectangle,
// underhang, overhang. A TrueType font (--size, or a .ttf/.otf file, 16 pixels unless given)
// prints the advance of every character of T. Both end with T's dimension.

#include "Tool.h"
#include "EngineOutput.h"

#include "engine/IDevice.h"
#include "engine/gui/CGUIFont.h"
#include "engine/gui/CGUITTFont.h"
#include "engine/gui/IGUIEnvironment.h"
#include "engine/gui/IGUISpriteBank.h"

#include <boost/intrusive_ptr.hpp>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

using namespace pravik;
namespace fs = std::filesystem;

std::string codeName(unsigned code)
{
    char s[16];
    std::snprintf(s, sizeof s, "U+%04X", code);
    return s;
}

bool isTrueTypeName(const std::string& name)
{
    std::string ext = fs::path(name).extension().string();
    for (char& c : ext)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return ext == ".ttf" || ext == ".otf" || ext == ".ttc";
}

int run(std::span<char* const> args, std::string& out)
{
    std::string file, text;
    bool builtIn = false;
    int size = 0;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string a = args[i];
        if (a == "--builtin") {
            builtIn = true;
        } else if ((a == "--size" || a == "--text") && i + 1 < args.size()) {
            if (a == "--text") {
                text = args[++i];
            } else {
                char* end = nullptr;
                const long n = std::strtol(args[++i], &end, 10);
                if (*end || n <= 0 || n > 4096)
                    return tool::fail("font", std::string("bad size: ") + args[i]);
                size = int(n);
            }
        } else if (a.rfind("--", 0) != 0 && file.empty()) {
            file = a;
        } else {
            return tool::fail("font", "usage: font FILE|--builtin [--size N] [--text T]");
        }
    }
    if (builtIn == !file.empty())
        return tool::fail("font", "usage: font FILE|--builtin [--size N] [--text T]");
    const bool trueType = !builtIn && (size > 0 || isTrueTypeName(file));
    if (!builtIn) {
        std::error_code ec;
        if (!fs::is_regular_file(file, ec))
            return tool::fail("font", file + ": no such file");
        file = fs::absolute(file, ec).string();
    }

    tool::FirstEngineError errors;
    tool::QuietStdout quiet;
    SCreationParameters parameters;
    parameters.DriverType = video::EDT_NULL;
    const boost::intrusive_ptr<IDevice> device(createDeviceEx(parameters), false);
    gui::IGUIEnvironment* env = device ? device->getGUIEnvironment() : nullptr;
    if (!env)
        return tool::fail("font", "the engine cannot be created");
    auto reason = [&](const char* fallback) { return file + ": " + (errors.text().empty() ? fallback : errors.text()); };

    const std::vector<unsigned> codes = gui::decodeUTF8(text.c_str());
    const std::wstring wide(codes.begin(), codes.end());
    core::dimension2d<int> dim;
    char line[256];
    if (trueType) {
        auto* font = static_cast<gui::CGUITTFont*>(env->getTTFont(file.c_str(), unsigned(size > 0 ? size : 16)));
        if (!font)
            return tool::fail("font", reason("not a font FreeType can read"));
        for (unsigned code : codes) {
            std::snprintf(line, sizeof line, "%s\tglyph %u\tadvance %d\n", codeName(code).c_str(),
                          font->getGlyphByValue(code), font->getAdvance(code));
            out += line;
        }
        dim = font->getDimension(wide.c_str());
    } else {
        gui::IGUIFont* loaded = builtIn ? env->getBuiltInFont() : env->getFont(file.c_str());
        auto* font = dynamic_cast<gui::CGUIFont*>(loaded);
        if (!font)
            return tool::fail("font", builtIn ? "the built-in font cannot be loaded" : reason("cannot be loaded"));
        const std::vector<core::rect<int>>& rects = font->getSpriteBank()->getPositions();
        const std::vector<gui::SGUISprite>& sprites = font->getSpriteBank()->getSprites();
        for (const auto& [character, areaIndex] : font->getCharacterMap()) {
            const gui::CGUIFont::SFontArea& a = font->getAreas()[size_t(areaIndex)];
            core::rect<int> r;
            if (a.spriteno < sprites.size() && !sprites[a.spriteno].Frames.empty() &&
                sprites[a.spriteno].Frames[0].rectangleNumber < rects.size())
                r = rects[sprites[a.spriteno].Frames[0].rectangleNumber];
            std::snprintf(line, sizeof line, "%s\tsprite %u\trect %d,%d,%d,%d\tunderhang %d\toverhang %d\n",
                          codeName(unsigned(character)).c_str(), a.spriteno, r.UpperLeftCorner.X, r.UpperLeftCorner.Y,
                          r.LowerRightCorner.X, r.LowerRightCorner.Y, a.underhang, a.overhang);
            out += line;
        }
        dim = font->getDimension(wide.c_str());
    }
    std::snprintf(line, sizeof line, "dimension\t%dx%d\n", dim.Width, dim.Height);
    out += line;
    return 0;
}

int font(std::span<char* const> args)
{
    std::string out;
    const int status = run(args, out);
    if (status == 0)
        std::fwrite(out.data(), 1, out.size(), stdout);
    return status;
}

const tool::ToolCommand fontCommand("font", "FILE|--builtin [--size N] [--text T]", font);

}  // namespace
