#pragma once
// An image of a scene file as the scene root shares it: its id, the file's current texture
// for it and the record.

#include "engine/IReferenceCounted.h"
#include "engine/collada/IObject.h"

#include <boost/intrusive_ptr.hpp>

namespace pravik::video {
class ITexture;
}

namespace pravik::collada {

class CImage : public IReferenceCounted, public IObject {  // handed out counted: starts at 0
public:
    CImage(const CColladaDatabase& db, SImage* record, const boost::intrusive_ptr<video::ITexture>& texture);
    ~CImage() override;

    const char* getName() const { return m_uid; }
    const boost::intrusive_ptr<video::ITexture>& getTexture() const { return m_texture; }
    void setTexture(const boost::intrusive_ptr<video::ITexture>& texture);
    SImage* getRecord() const { return m_record; }

private:
    boost::intrusive_ptr<video::ITexture> m_texture;
    SImage* m_record;
};

}  // namespace pravik::collada
