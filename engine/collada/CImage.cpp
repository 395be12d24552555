#include "engine/collada/CImage.h"

#include "engine/video/ITexture.h"

namespace pravik::collada {

CImage::CImage(const CColladaDatabase& db, SImage* record, const boost::intrusive_ptr<video::ITexture>& texture)
    : IReferenceCounted(0), IObject(db, record ? db.str(record->id) : ""), m_texture(texture), m_record(record)
{
}

CImage::~CImage() = default;

void CImage::setTexture(const boost::intrusive_ptr<video::ITexture>& texture) { m_texture = texture; }

}  // namespace pravik::collada
