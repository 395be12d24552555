#include "engine/gui/CGUIStaticText.h"

#include "engine/gui/IGUIEnvironment.h"
#include "engine/gui/IGUIFont.h"
#include "engine/gui/IGUISkin.h"
#include "engine/video/C2DDriver.h"
#include "engine/video/material/CMaterial.h"

namespace pravik::gui {

CGUIStaticText::CGUIStaticText(const wchar_t* text, bool border, IGUIEnvironment* environment, IGUIElement* parent,
                               int id, const core::rect<int>& rectangle, bool background)
    : IGUIStaticText(environment, parent, id, rectangle), m_border(border), m_background(background)
{
    m_text = text ? text : L"";
    if (m_environment && m_environment->getSkin())
        m_backgroundColor = m_environment->getSkin()->getColor(EGDC_3D_FACE);
}

CGUIStaticText::~CGUIStaticText()
{
    if (m_overrideFont)
        m_overrideFont->drop();
}

IGUIFont* CGUIStaticText::currentFont() const
{
    IGUISkin* skin = m_environment ? m_environment->getSkin() : nullptr;
    if (!skin)
        return nullptr;
    return m_overrideFont ? m_overrideFont : skin->getFont(EGDF_DEFAULT);
}

void CGUIStaticText::setText(const wchar_t* text)
{
    IGUIElement::setText(text);
    breakText();
}

void CGUIStaticText::updateAbsolutePosition()
{
    IGUIElement::updateAbsolutePosition();
    breakText();
}

void CGUIStaticText::setWordWrap(bool enable)
{
    m_wordWrap = enable;
    breakText();
}

void CGUIStaticText::setOverrideFont(IGUIFont* font)
{
    if (font == m_overrideFont)
        return;
    if (font)
        font->grab();
    if (m_overrideFont)
        m_overrideFont->drop();
    m_overrideFont = font;
    breakText();
}

void CGUIStaticText::setOverrideColor(video::SColor color)
{
    m_overrideColor = color;
    m_overrideColorEnabled = true;
}

void CGUIStaticText::setBackgroundColor(video::SColor color)
{
    m_backgroundColor = color;
    m_background = true;
}

void CGUIStaticText::setTextAlignment(EGUI_ALIGNMENT horizontal, EGUI_ALIGNMENT vertical)
{
    m_hAlign = horizontal;
    m_vAlign = vertical;
}

int CGUIStaticText::getTextHeight() const
{
    IGUIFont* font = currentFont();
    if (!font)
        return 0;
    const int h = font->getDimension(L"A").Height + font->getKerningHeight();
    return m_wordWrap ? h * int(m_brokenText.size()) : h;
}

int CGUIStaticText::getTextWidth() const
{
    IGUIFont* font = m_overrideFont ? m_overrideFont : currentFont();
    if (!font)
        return 0;
    if (!m_wordWrap)
        return font->getDimension(m_text.c_str()).Width;
    int widest = 0;
    for (const core::stringw& line : m_brokenText)
        widest = std::max(widest, font->getDimension(line.c_str()).Width);
    return widest;
}

void CGUIStaticText::breakText()
{
    if (!m_wordWrap || !m_environment || !m_environment->getSkin())
        return;
    m_brokenText.clear();
    IGUIFont* font = currentFont();
    if (!font)
        return;
    m_lastBreakFont = font;

    const int available = m_relativeRect.getWidth() - 6;
    core::stringw line, word, whitespace;
    int lineWidth = 0;
    const int n = int(m_text.size());
    for (int i = 0; i < n; ++i) {
        wchar_t c = m_text[size_t(i)];
        bool lineBreak = false;
        if (c == L'\r') {
            // CR LF is one break; the caption itself stays as it is.
            if (i + 1 < n && m_text[size_t(i) + 1] == L'\n')
                ++i;
            lineBreak = true;
            c = L' ';
        } else if (c == L'\n') {
            lineBreak = true;
            c = L' ';
        } else if (c != L'-' && c != L' ' && c != 0 && i != n - 1) {
            word += c;
            continue;
        }
        const bool last = i == n - 1;

        if (!word.empty() || last) {
            const int ws = font->getDimension(whitespace.c_str()).Width;
            int wd = font->getDimension(word.c_str()).Width;
            if (last) {
                const wchar_t one[2] = {c, 0};
                wd += font->getDimension(one).Width;
            }
            if (available > lineWidth + ws + wd) {
                line += whitespace;
                line += word;
                lineWidth += ws + wd;
            } else {
                if (whitespace == L"-")
                    line += whitespace;  // a hyphen stays at the end of the broken line
                m_brokenText.push_back(line);
                line = word;
                lineWidth = wd;
            }
            word.clear();
            whitespace.clear();
        }
        whitespace += c;
        if (lineBreak) {
            line += whitespace;
            line += word;
            m_brokenText.push_back(line);
            line.clear();
            word.clear();
            whitespace.clear();
            lineWidth = 0;
        }
    }
    line += whitespace;
    line += word;
    m_brokenText.push_back(line);
}

void CGUIStaticText::draw()
{
    if (!isVisible() || !m_environment)
        return;
    IGUISkin* skin = m_environment->getSkin();
    if (!skin)
        return;
    video::IVideoDriver* driver = m_environment->getVideoDriver();
    core::rect<int> frame = m_absoluteRect;
    const core::rect<int>* clip = &m_absoluteClippingRect;

    if (m_background)
        video::C2DDriver::draw2DRectangle(driver, m_backgroundColor, frame, clip);
    if (m_border) {
        skin->draw3DSunkenPane(this, video::SColor(0, 0, 0, 0), true, false, frame, clip);
        frame.UpperLeftCorner.X += skin->getSize(EGDS_TEXT_DISTANCE_X);
    }

    IGUIFont* font = m_overrideFont ? m_overrideFont : skin->getFont(EGDF_DEFAULT);
    if (!m_text.empty() && font) {
        const video::SColor color = m_overrideColorEnabled ? m_overrideColor
                                    : isEnabled()          ? skin->getColor(EGDC_BUTTON_TEXT)
                                                           : skin->getColor(EGDC_GRAY_TEXT);
        const int lineHeight = font->getDimension(L"A").Height + font->getKerningHeight();
        if (!m_wordWrap) {
            if (m_vAlign == EGUIA_LOWERRIGHT)
                frame.UpperLeftCorner.Y = frame.LowerRightCorner.Y - lineHeight;
            if (m_hAlign == EGUIA_LOWERRIGHT)
                frame.UpperLeftCorner.X = frame.LowerRightCorner.X - font->getDimension(m_text.c_str()).Width;
            font->draw(m_text.c_str(), frame, color, m_hAlign == EGUIA_CENTER, m_vAlign == EGUIA_CENTER, clip);
        } else {
            if (font != m_lastBreakFont)
                breakText();
            const int k = int(m_brokenText.size());
            const int tracking = font->getTracking();
            const int blockHeight = lineHeight * k + tracking * (k - 1);
            core::rect<int> r = frame;
            if (m_vAlign == EGUIA_CENTER)
                r.UpperLeftCorner.Y = (frame.UpperLeftCorner.Y + frame.LowerRightCorner.Y) / 2 - blockHeight / 2;
            else if (m_vAlign == EGUIA_LOWERRIGHT)
                r.UpperLeftCorner.Y = frame.LowerRightCorner.Y - blockHeight;
            for (const core::stringw& line : m_brokenText) {
                if (m_hAlign == EGUIA_LOWERRIGHT)
                    r.UpperLeftCorner.X = frame.LowerRightCorner.X - font->getDimension(line.c_str()).Width;
                font->draw(line.c_str(), r, color, m_hAlign == EGUIA_CENTER, false, clip);
                r.UpperLeftCorner.Y += lineHeight + tracking;
                r.LowerRightCorner.Y += lineHeight + tracking;
            }
        }
    }
    IGUIElement::draw();
}

void CGUIStaticText::serializeAttributes(io::IAttributes* out, io::SAttributeReadWriteOptions* options) const
{
    IGUIElement::serializeAttributes(out, options);
    out->addBool("Border", m_border);
    out->addBool("OverrideColorEnabled", m_overrideColorEnabled);
    out->addBool("WordWrap", m_wordWrap);
    out->addBool("Background", m_background);
    out->addColor("OverrideColor", m_overrideColor);
    out->addEnum("HTextAlign", m_hAlign, GUIAlignmentNames);
    out->addEnum("VTextAlign", m_vAlign, GUIAlignmentNames);
}

void CGUIStaticText::deserializeAttributes(io::IAttributes* in, io::SAttributeReadWriteOptions* options)
{
    IGUIElement::deserializeAttributes(in, options);
    m_border = in->getBool("Border");
    m_overrideColor = in->getColor("OverrideColor");
    enableOverrideColor(in->getBool("OverrideColorEnabled"));
    setWordWrap(in->getBool("WordWrap"));
    m_background = in->getBool("Background");
    setTextAlignment(EGUI_ALIGNMENT(in->getEnum("HTextAlign", GUIAlignmentNames)),
                     EGUI_ALIGNMENT(in->getEnum("VTextAlign", GUIAlignmentNames)));
}

}  // namespace pravik::gui
