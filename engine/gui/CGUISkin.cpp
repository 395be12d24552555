#include "engine/gui/CGUISkin.h"

#include "engine/gui/IGUIFont.h"
#include "engine/gui/IGUISpriteBank.h"
#include "engine/video/C2DDriver.h"
#include "engine/video/material/CMaterial.h"

namespace pravik::gui {

using video::SColor;

const char* const GUISkinTypeNames[] = {"windowsClassic", "windowsMetallic", "burning", "unknown", nullptr};

const char* const GUISkinColorNames[] = {
    "3DDarkShadow", "3DShadow", "3DFace", "3DHighlight", "3DLight", "ActiveBorder", "ActiveCaption",
    "AppWorkspace", "ButtonText", "GrayText", "Highlight", "HighlightText", "InactiveBorder", "InactiveCaption",
    "ToolTip", "ToolTipBackground", "ScrollBar", "Window", "WindowSymbol", "Icon", "IconHighlight", nullptr};

const char* const GUISkinSizeNames[] = {"ScrollBarSize", "MenuHeight", "WindowButtonWidth", "CheckBoxWidth",
                                        "MessageBoxWidth", "MessageBoxHeight", "ButtonWidth", "ButtonHeight",
                                        "TextDistanceX", "TextDistanceY", nullptr};

const char* const GUISkinTextNames[] = {"MessageBoxOkay", "MessageBoxCancel", "MessageBoxYes", "MessageBoxNo",
                                        "WindowButtonClose", "WindowButtonMaximize", "WindowButtonMinimize",
                                        "WindowButtonRestore", nullptr};

const char* const GUISkinIconNames[] = {
    "windowMaximize", "windowRestore", "windowClose", "windowMinimize", "windowResize", "cursorUp",
    "cursorDown", "cursorLeft", "cursorRight", "menuMore", "checkBoxChecked", "dropDown", "smallCursorUp",
    "smallCursorDown", "radioButtonChecked", "moreLeft", "moreRight", "moreUp", "moreDown", "expand",
    "collapse", "file", "directory", nullptr};

namespace {

const SColor ClassicColors[EGDC_COUNT] = {
    {50, 50, 50, 101},    {130, 130, 130, 101}, {210, 210, 210, 101}, {255, 255, 255, 101}, {210, 210, 210, 101},
    {16, 14, 115, 101},   {255, 255, 255, 200}, {100, 100, 100, 101}, {10, 10, 10, 240},    {130, 130, 130, 240},
    {8, 36, 107, 101},    {255, 255, 255, 240}, {165, 165, 165, 101}, {210, 210, 210, 101}, {0, 0, 0, 200},
    {255, 255, 225, 200}, {230, 230, 230, 101}, {255, 255, 255, 101}, {10, 10, 10, 200},    {255, 255, 255, 200},
    {8, 36, 107, 200}};

const SColor BurningColors[EGDC_COUNT] = {
    {118, 121, 130, 96},  {228, 232, 241, 80},  {203, 210, 217, 192}, {199, 204, 220, 64},  {46, 49, 58, 128},
    {64, 64, 64, 128},    {208, 208, 208, 240}, {100, 100, 100, 192}, {22, 22, 22, 208},    {20, 20, 20, 60},
    {96, 96, 96, 108},    {224, 224, 224, 208}, {165, 165, 165, 240}, {210, 210, 210, 240}, {15, 32, 51, 240},
    {203, 210, 217, 192}, {224, 224, 224, 240}, {240, 240, 240, 240}, {22, 22, 22, 208},    {22, 22, 22, 208},
    {96, 96, 96, 208}};

const int ClassicSizes[EGDS_COUNT] = {14, 30, 15, 18, 500, 200, 80, 30, 2, 0};
const int BurningSizes[EGDS_COUNT] = {14, 48, 15, 18, 500, 200, 80, 30, 3, 2};

const wchar_t* const DefaultTexts[EGDT_COUNT] = {L"OK", L"Cancel", L"Yes", L"No",
                                                 L"Close", L"Maximize", L"Minimize", L"Restore"};

const unsigned DefaultIcons[EGDI_COUNT] = {225, 226, 227, 228, 242, 229, 230, 231, 232, 232, 233, 234,
                                           235, 236, 237, 238, 239, 240, 241, 243, 244, 245, 246};

const SColor White(255, 255, 255, 255);
const SColor Black(0, 0, 0, 255);

}  // namespace

CGUISkin::CGUISkin(EGUI_SKIN_TYPE type, video::IVideoDriver* driver)
    : m_driver(driver), m_useGradient(type == EGST_WINDOWS_METALLIC || type == EGST_BURNING), m_type(type)
{
    const bool classic = type == EGST_WINDOWS_CLASSIC || type == EGST_WINDOWS_METALLIC;
    for (int i = 0; i < EGDC_COUNT; ++i)
        m_colors[i] = classic ? ClassicColors[i] : BurningColors[i];
    for (int i = 0; i < EGDS_COUNT; ++i)
        m_sizes[i] = classic ? ClassicSizes[i] : BurningSizes[i];
    for (int i = 0; i < EGDT_COUNT; ++i)
        m_texts[i] = DefaultTexts[i];
    for (int i = 0; i < EGDI_COUNT; ++i)
        m_icons[i] = DefaultIcons[i];
}

CGUISkin::~CGUISkin()
{
    for (IGUIFont* f : m_fonts)
        if (f)
            f->drop();
    if (m_spriteBank)
        m_spriteBank->drop();
}

SColor CGUISkin::mix(SColor p, SColor q, float f)
{
    auto channel = [f](std::uint8_t a, std::uint8_t b) {
        float v = float(a) + (float(b) - float(a)) * f;
        if (v < 0.f)
            v = 0.f;
        if (v > 255.f)
            v = 255.f;
        return std::uint8_t(v);
    };
    return {channel(p.r, q.r), channel(p.g, q.g), channel(p.b, q.b), channel(p.a, q.a)};
}

// --- tables ----------------------------------------------------------------------------------

SColor CGUISkin::getColor(EGUI_DEFAULT_COLOR color) const
{
    return color >= 0 && color < EGDC_COUNT ? m_colors[color] : SColor();
}

void CGUISkin::setColor(EGUI_DEFAULT_COLOR which, SColor newColor)
{
    if (which >= 0 && which < EGDC_COUNT)
        m_colors[which] = newColor;
}

int CGUISkin::getSize(EGUI_DEFAULT_SIZE size) const { return size >= 0 && size < EGDS_COUNT ? m_sizes[size] : 0; }

void CGUISkin::setSize(EGUI_DEFAULT_SIZE which, int size)
{
    if (which >= 0 && which < EGDS_COUNT)
        m_sizes[which] = size;
}

const wchar_t* CGUISkin::getDefaultText(EGUI_DEFAULT_TEXT text) const
{
    return text >= 0 && text < EGDT_COUNT ? m_texts[text].c_str() : m_texts[0].c_str();
}

void CGUISkin::setDefaultText(EGUI_DEFAULT_TEXT which, const wchar_t* newText)
{
    if (which >= 0 && which < EGDT_COUNT)
        m_texts[which] = newText ? newText : L"";
}

IGUIFont* CGUISkin::getFont(EGUI_DEFAULT_FONT which) const
{
    if (which >= 0 && which < EGDF_COUNT && m_fonts[which])
        return m_fonts[which];
    return m_fonts[EGDF_DEFAULT];
}

void CGUISkin::setFont(IGUIFont* font, EGUI_DEFAULT_FONT which)
{
    if (which < 0 || which >= EGDF_COUNT)
        return;
    if (font)
        font->grab();
    if (m_fonts[which])
        m_fonts[which]->drop();
    m_fonts[which] = font;
}

void CGUISkin::setSpriteBank(IGUISpriteBank* bank)
{
    if (bank)
        bank->grab();
    if (m_spriteBank)
        m_spriteBank->drop();
    m_spriteBank = bank;
}

unsigned CGUISkin::getIcon(EGUI_DEFAULT_ICON icon) const { return icon >= 0 && icon < EGDI_COUNT ? m_icons[icon] : 0; }

void CGUISkin::setIcon(EGUI_DEFAULT_ICON icon, unsigned index)
{
    if (icon >= 0 && icon < EGDI_COUNT)
        m_icons[icon] = index;
}

// --- drawing ---------------------------------------------------------------------------------

void CGUISkin::fill(SColor color, const core::rect<int>& r, const core::rect<int>* clip)
{
    video::C2DDriver::draw2DRectangle(m_driver, color, r, clip);
}

void CGUISkin::fill(const core::rect<int>& r, SColor upperLeft, SColor upperRight, SColor lowerLeft, SColor lowerRight,
                    const core::rect<int>* clip)
{
    video::C2DDriver::draw2DRectangle(m_driver, r, upperLeft, upperRight, lowerLeft, lowerRight, clip);
}

void CGUISkin::draw2DRectangle(IGUIElement*, SColor color, const core::rect<int>& pos, const core::rect<int>* clip)
{
    if (m_driver)
        fill(color, pos, clip);
}

void CGUISkin::draw3DButtonPaneStandard(IGUIElement* element, const core::rect<int>& r, const core::rect<int>* clip)
{
    if (!m_driver)
        return;
    const auto [x1, y1] = r.UpperLeftCorner;
    const auto [x2, y2] = r.LowerRightCorner;
    if (m_type == EGST_BURNING) {
        draw3DSunkenPane(element, mix(getColor(EGDC_WINDOW), White, 0.1f), false, true, {x1 - 1, y1 - 1, x2 + 1, y2 + 1},
                         clip);
        return;
    }
    fill(getColor(EGDC_3D_DARK_SHADOW), r, clip);
    fill(getColor(EGDC_3D_HIGHLIGHT), {x1, y1, x2 - 1, y2 - 1}, clip);
    fill(getColor(EGDC_3D_SHADOW), {x1 + 1, y1 + 1, x2 - 1, y2 - 1}, clip);
    const core::rect<int> face(x1 + 1, y1 + 1, x2 - 2, y2 - 2);
    if (m_useGradient)
        verticalGradient(face, getColor(EGDC_3D_FACE), mix(getColor(EGDC_3D_FACE), getColor(EGDC_3D_DARK_SHADOW), 0.6f),
                         clip);
    else
        fill(getColor(EGDC_3D_FACE), face, clip);
}

void CGUISkin::draw3DButtonPanePressed(IGUIElement*, const core::rect<int>& r, const core::rect<int>* clip)
{
    if (!m_driver)
        return;
    const auto [x1, y1] = r.UpperLeftCorner;
    const auto [x2, y2] = r.LowerRightCorner;
    fill(getColor(EGDC_3D_HIGHLIGHT), r, clip);
    fill(getColor(EGDC_3D_DARK_SHADOW), {x1, y1, x2 - 1, y2 - 1}, clip);
    fill(getColor(EGDC_3D_SHADOW), {x1 + 1, y1 + 1, x2 - 1, y2 - 1}, clip);
    const core::rect<int> face(x1 + 2, y1 + 2, x2 - 1, y2 - 1);
    if (m_useGradient)
        verticalGradient(face, getColor(EGDC_3D_FACE), mix(getColor(EGDC_3D_FACE), getColor(EGDC_3D_DARK_SHADOW), 0.6f),
                         clip);
    else
        fill(getColor(EGDC_3D_FACE), face, clip);
}

void CGUISkin::draw3DSunkenPane(IGUIElement*, SColor bgcolor, bool flat, bool fillBackGround, const core::rect<int>& r,
                                const core::rect<int>* clip)
{
    if (!m_driver)
        return;
    const auto [x1, y1] = r.UpperLeftCorner;
    const auto [x2, y2] = r.LowerRightCorner;
    if (flat) {
        if (fillBackGround)
            fill(bgcolor, r, clip);
        fill(getColor(EGDC_3D_SHADOW), {x1, y1, x2, y1 + 1}, clip);
        fill(getColor(EGDC_3D_SHADOW), {x1, y1, x1 + 1, y2}, clip);
        fill(getColor(EGDC_3D_HIGHLIGHT), {x2 - 1, y1, x2, y2}, clip);
        fill(getColor(EGDC_3D_HIGHLIGHT), {x1, y2 - 1, x2, y2}, clip);
        return;
    }
    if (fillBackGround)
        fill(getColor(EGDC_3D_HIGHLIGHT), r, clip);
    fill(getColor(EGDC_3D_SHADOW), {x1, y1, x2 - 1, y2 - 1}, clip);
    fill(getColor(EGDC_3D_LIGHT), {x1 + 1, y1 + 1, x2 - 1, y2 - 1}, clip);
    fill(getColor(EGDC_3D_DARK_SHADOW), {x1 + 1, y1 + 1, x2 - 2, y2 - 2}, clip);
    fill(bgcolor, {x1 + 2, y1 + 2, x2 - 2, y2 - 2}, clip);
}

core::rect<int> CGUISkin::draw3DWindowBackground(IGUIElement*, bool drawTitleBar, SColor titleBarColor,
                                                 const core::rect<int>& r, const core::rect<int>* clip)
{
    if (!m_driver)
        return r;
    const auto [x1, y1] = r.UpperLeftCorner;
    const auto [x2, y2] = r.LowerRightCorner;
    fill(getColor(EGDC_3D_HIGHLIGHT), {x1, y1, x2, y1 + 1}, clip);
    fill(getColor(EGDC_3D_HIGHLIGHT), {x1, y1, x1 + 1, y2}, clip);
    fill(getColor(EGDC_3D_DARK_SHADOW), {x2 - 1, y1, x2, y2}, clip);
    fill(getColor(EGDC_3D_SHADOW), {x2 - 2, y1 + 1, x2 - 1, y2 - 1}, clip);
    fill(getColor(EGDC_3D_DARK_SHADOW), {x1, y2 - 1, x2, y2}, clip);
    fill(getColor(EGDC_3D_SHADOW), {x1 + 1, y2 - 2, x2 - 1, y2 - 1}, clip);

    const core::rect<int> body(x1 + 1, y1 + 1, x2 - 2, y2 - 2);
    if (!m_useGradient)
        fill(getColor(EGDC_3D_FACE), body, clip);
    else if (m_type == EGST_BURNING)
        verticalGradient(body, mix(getColor(EGDC_WINDOW), White, 0.1f), mix(getColor(EGDC_WINDOW), White, 0.2f), clip);
    else
        fill(body, getColor(EGDC_3D_FACE), getColor(EGDC_3D_FACE), getColor(EGDC_3D_FACE), getColor(EGDC_3D_SHADOW),
             clip);

    const core::rect<int> title(x1 + 2, y1 + 2, x2 - 2, y1 + 4 + getSize(EGDS_WINDOW_BUTTON_WIDTH));
    if (drawTitleBar) {
        if (m_type == EGST_BURNING)
            verticalGradient(title, titleBarColor, mix(titleBarColor, White, 0.2f), clip);
        else
            horizontalGradient(title, titleBarColor, mix(titleBarColor, Black, 0.8f), clip);
    }
    return title;
}

void CGUISkin::draw3DMenuPane(IGUIElement* element, const core::rect<int>& r, const core::rect<int>* clip)
{
    if (!m_driver)
        return;
    const auto [x1, y1] = r.UpperLeftCorner;
    const auto [x2, y2] = r.LowerRightCorner;
    if (m_type == EGST_BURNING) {
        draw3DButtonPaneStandard(element, {x1, y1 - 3, x2, y2}, clip);
        return;
    }
    fill(getColor(EGDC_3D_HIGHLIGHT), {x1, y1, x2, y1 + 1}, clip);
    fill(getColor(EGDC_3D_HIGHLIGHT), {x1, y1, x1 + 1, y2}, clip);
    fill(getColor(EGDC_3D_DARK_SHADOW), {x2 - 1, y1, x2, y2}, clip);
    fill(getColor(EGDC_3D_SHADOW), {x2 - 2, y1 + 1, x2 - 1, y2 - 1}, clip);
    fill(getColor(EGDC_3D_DARK_SHADOW), {x1, y2 - 1, x2, y2}, clip);
    fill(getColor(EGDC_3D_SHADOW), {x1 + 1, y2 - 2, x2 - 1, y2 - 1}, clip);
    const core::rect<int> body(x1 + 1, y1 + 1, x2 - 2, y2 - 2);
    if (m_useGradient)
        verticalGradient(body, getColor(EGDC_3D_FACE), getColor(EGDC_3D_SHADOW), clip);
    else
        fill(getColor(EGDC_3D_FACE), body, clip);
}

void CGUISkin::draw3DToolBar(IGUIElement*, const core::rect<int>& r, const core::rect<int>* clip)
{
    if (!m_driver)
        return;
    const auto [x1, y1] = r.UpperLeftCorner;
    const auto [x2, y2] = r.LowerRightCorner;
    fill(getColor(EGDC_3D_SHADOW), {x1, y2 - 1, x2, y2}, clip);
    if (!m_useGradient) {
        fill(getColor(EGDC_3D_FACE), {x1, y1, x2, y2 - 1}, clip);
    } else if (m_type == EGST_BURNING) {
        SColor face = getColor(EGDC_3D_FACE), shadow = getColor(EGDC_3D_SHADOW);
        face.a |= 0xF0;
        shadow.a |= 0xF0;
        horizontalGradient(r, face, shadow, clip);
    } else {
        verticalGradient({x1, y1, x2, y2 - 1}, getColor(EGDC_3D_FACE), getColor(EGDC_3D_SHADOW), clip);
    }
}

void CGUISkin::draw3DTabButton(IGUIElement*, bool, const core::rect<int>& r, const core::rect<int>* clip,
                               EGUI_ALIGNMENT alignment)
{
    if (!m_driver)
        return;
    const auto [x1, y1] = r.UpperLeftCorner;
    const auto [x2, y2] = r.LowerRightCorner;
    if (alignment == EGUIA_UPPERLEFT) {
        fill(getColor(EGDC_3D_HIGHLIGHT), {x1 + 1, y1, x2 - 2, y1 + 1}, clip);
        fill(getColor(EGDC_3D_HIGHLIGHT), {x1, y1 + 1, x1 + 1, y2}, clip);
        fill(getColor(EGDC_3D_FACE), {x1 + 1, y1 + 1, x2 - 2, y2}, clip);
        fill(getColor(EGDC_3D_SHADOW), {x2 - 2, y1 + 1, x2 - 1, y2}, clip);
        fill(getColor(EGDC_3D_DARK_SHADOW), {x2 - 1, y1 + 2, x2, y2}, clip);
    } else {
        fill(getColor(EGDC_3D_HIGHLIGHT), {x1 + 1, y2 - 1, x2 - 2, y2}, clip);
        fill(getColor(EGDC_3D_HIGHLIGHT), {x1, y1, x1 + 1, y2 - 1}, clip);
        fill(getColor(EGDC_3D_FACE), {x1 + 1, y1 - 1, x2 - 2, y2 - 1}, clip);
        fill(getColor(EGDC_3D_SHADOW), {x2 - 2, y1 - 1, x2 - 1, y2 - 1}, clip);
        fill(getColor(EGDC_3D_DARK_SHADOW), {x2 - 1, y1 - 1, x2, y2 - 2}, clip);
    }
}

void CGUISkin::draw3DTabBody(IGUIElement*, bool border, bool background, const core::rect<int>& r,
                             const core::rect<int>* clip, int tabHeight, EGUI_ALIGNMENT alignment)
{
    if (!m_driver)
        return;
    const auto [x1, y1] = r.UpperLeftCorner;
    const auto [x2, y2] = r.LowerRightCorner;
    const int h = tabHeight == -1 ? getSize(EGDS_BUTTON_HEIGHT) : tabHeight;
    if (border) {
        if (alignment == EGUIA_UPPERLEFT) {
            fill(getColor(EGDC_3D_HIGHLIGHT), {x1, y1 + h + 2, x1 + 1, y2}, clip);
            fill(getColor(EGDC_3D_SHADOW), {x2 - 1, y1 + h + 2, x2, y2}, clip);
            fill(getColor(EGDC_3D_SHADOW), {x1, y2 - 1, x2, y2}, clip);
        } else {
            fill(getColor(EGDC_3D_HIGHLIGHT), {x1, y1, x1 + 1, y2 - h - 2}, clip);
            fill(getColor(EGDC_3D_SHADOW), {x2 - 1, y1, x2, y2 - h - 2}, clip);
            fill(getColor(EGDC_3D_HIGHLIGHT), {x1, y1, x2, y1 + 1}, clip);
        }
    }
    if (background) {
        const core::rect<int> area = alignment == EGUIA_UPPERLEFT ? core::rect<int>(x1 + 1, y1 + h + 2, x2 - 1, y2 - 1)
                                                                  : core::rect<int>(x1 + 1, y1 - 1, x2 - 1, y2 - h - 2);
        if (m_useGradient)
            verticalGradient(area, getColor(EGDC_3D_FACE), getColor(EGDC_3D_SHADOW), clip);
        else
            fill(getColor(EGDC_3D_FACE), area, clip);
    }
}

void CGUISkin::drawIcon(IGUIElement*, EGUI_DEFAULT_ICON icon, const core::position2d<int> position, unsigned startTime,
                        unsigned currentTime, bool loop, const core::rect<int>* clip)
{
    if (!m_driver || !m_spriteBank || icon < 0 || icon >= EGDI_COUNT)
        return;
    m_spriteBank->draw2DSprite(m_icons[icon], position, clip, SColor(0, 0, 0, 255), startTime, currentTime, loop, true);
}

// --- attributes ------------------------------------------------------------------------------

void CGUISkin::serializeAttributes(io::IAttributes* out, io::SAttributeReadWriteOptions*) const
{
    for (int i = 0; i < EGDC_COUNT; ++i)
        out->addColor(GUISkinColorNames[i], m_colors[i]);
    for (int i = 0; i < EGDS_COUNT; ++i)
        out->addInt(GUISkinSizeNames[i], m_sizes[i]);
    for (int i = 0; i < EGDT_COUNT; ++i)
        out->addString(GUISkinTextNames[i], m_texts[i].c_str());
    for (int i = 0; i < EGDI_COUNT; ++i)
        out->addInt(GUISkinIconNames[i], int(m_icons[i]));
}

void CGUISkin::deserializeAttributes(io::IAttributes* in, io::SAttributeReadWriteOptions*)
{
    for (int i = 0; i < EGDC_COUNT; ++i)
        m_colors[i] = in->getColor(GUISkinColorNames[i]);
    for (int i = 0; i < EGDS_COUNT; ++i)
        m_sizes[i] = in->getInt(GUISkinSizeNames[i]);
    for (int i = 0; i < EGDT_COUNT; ++i)
        m_texts[i] = in->getStringW(GUISkinTextNames[i]);
    for (int i = 0; i < EGDI_COUNT; ++i)
        m_icons[i] = unsigned(in->getInt(GUISkinIconNames[i]));
}

}  // namespace pravik::gui
