#pragma once
// The environment's own factory: every standard kind through the environment's creators with
// default arguments. Kinds whose creators do not exist yet answer null.

#include "engine/gui/IGUIElementFactory.h"

namespace pravik::gui {

class IGUIEnvironment;

class CDefaultGUIElementFactory : public IGUIElementFactory {
public:
    explicit CDefaultGUIElementFactory(IGUIEnvironment* environment) : m_environment(environment) {}

    IGUIElement* addGUIElement(EGUI_ELEMENT_TYPE type, IGUIElement* parent = nullptr) override;
    IGUIElement* addGUIElement(const char* typeName, IGUIElement* parent = nullptr) override;
    int getCreatableGUIElementTypeCount() const override { return EGUIET_COUNT; }
    EGUI_ELEMENT_TYPE getCreateableGUIElementType(int index) const override;
    const char* getCreateableGUIElementTypeName(int index) const override;
    const char* getCreateableGUIElementTypeName(EGUI_ELEMENT_TYPE type) const override;

    // The kind whose name equals typeName exactly, or EGUIET_ELEMENT.
    static EGUI_ELEMENT_TYPE getTypeFromName(const char* typeName);

private:
    IGUIEnvironment* m_environment;  // owns this factory
};

}  // namespace pravik::gui
