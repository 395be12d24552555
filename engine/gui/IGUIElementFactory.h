#pragma once
// Makes elements from a kind or a type name; the environment asks its registered factories in
// order. The elements returned are owned by their parent.

#include "engine/IReferenceCounted.h"
#include "engine/gui/EGUIElementTypes.h"

namespace pravik::gui {

class IGUIElement;

class IGUIElementFactory : public virtual IReferenceCounted {
public:
    virtual IGUIElement* addGUIElement(EGUI_ELEMENT_TYPE type, IGUIElement* parent = nullptr) = 0;
    virtual IGUIElement* addGUIElement(const char* typeName, IGUIElement* parent = nullptr) = 0;
    virtual int getCreatableGUIElementTypeCount() const = 0;
    virtual EGUI_ELEMENT_TYPE getCreateableGUIElementType(int index) const = 0;
    virtual const char* getCreateableGUIElementTypeName(int index) const = 0;
    virtual const char* getCreateableGUIElementTypeName(EGUI_ELEMENT_TYPE type) const = 0;
};

}  // namespace pravik::gui
