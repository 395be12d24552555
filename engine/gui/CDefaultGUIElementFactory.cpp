#include "engine/gui/CDefaultGUIElementFactory.h"

#include "engine/gui/IGUIEnvironment.h"
#include "engine/gui/IGUIStaticText.h"

#include <cstring>

namespace pravik::gui {

IGUIElement* CDefaultGUIElementFactory::addGUIElement(EGUI_ELEMENT_TYPE type, IGUIElement* parent)
{
    const core::rect<int> r(0, 0, 100, 100);
    switch (type) {
        case EGUIET_STATIC_TEXT: return m_environment->addStaticText(nullptr, r, false, true, parent, -1, false);
        default: return nullptr;
    }
}

IGUIElement* CDefaultGUIElementFactory::addGUIElement(const char* typeName, IGUIElement* parent)
{
    return addGUIElement(getTypeFromName(typeName), parent);
}

EGUI_ELEMENT_TYPE CDefaultGUIElementFactory::getCreateableGUIElementType(int index) const
{
    return index >= 0 && index < EGUIET_COUNT ? EGUI_ELEMENT_TYPE(index) : EGUIET_ELEMENT;
}

const char* CDefaultGUIElementFactory::getCreateableGUIElementTypeName(int index) const
{
    return index >= 0 && index < EGUIET_COUNT ? GUIElementTypeNames[index] : nullptr;
}

const char* CDefaultGUIElementFactory::getCreateableGUIElementTypeName(EGUI_ELEMENT_TYPE type) const
{
    return getCreateableGUIElementTypeName(int(type));
}

EGUI_ELEMENT_TYPE CDefaultGUIElementFactory::getTypeFromName(const char* typeName)
{
    if (!typeName)
        return EGUIET_ELEMENT;
    for (int i = 0; GUIElementTypeNames[i]; ++i)
        if (std::strcmp(GUIElementTypeNames[i], typeName) == 0)
            return EGUI_ELEMENT_TYPE(i);
    return EGUIET_ELEMENT;
}

}  // namespace pravik::gui
