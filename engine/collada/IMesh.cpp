#include "engine/collada/IMesh.h"

#include "engine/video/IVideoDriver.h"

namespace pravik::collada {

void IMesh::setTransform(video::IVideoDriver* driver, const core::CMatrix4<float>& matrix)
{
    if (driver) driver->setTransform(video::ETS_WORLD, matrix);
}

}  // namespace pravik::collada
