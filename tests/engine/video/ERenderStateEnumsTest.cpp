#include <gtest/gtest.h>

#include "engine/core/getStrings.h"
#include "engine/video/gl/EFixedGLShaderEnums.h"
#include "engine/video/material/ERenderStateEnums.h"
#include "engine/video/material/EShaderParameterType.h"
#include "engine/video/material/EVertexAttribute.h"

using namespace pravik;
using namespace pravik::video;

// Every table through the engine's generic accessor: length, first and last names, in value order.
TEST(MaterialEnumerationNames, Tables)
{
    const struct {
        const char* enumeration;
        const char* const* names;
        int count;
        const char* first;
        const char* last;
    } kTables[] = {
        {"E_BLEND_FACTOR", core::getStrings<E_BLEND_FACTOR>(), 16, "Zero", "Separate"},
        {"E_BLEND_EQUATION", core::getStrings<E_BLEND_EQUATION>(), 6, "Add", "Separate"},
        {"E_FACE_SIDE", core::getStrings<E_FACE_SIDE>(), 3, "Back", "Front and Back"},
        {"E_FACE_WINDING", core::getStrings<E_FACE_WINDING>(), 2, "Counterclockwise", "Clockwise"},
        {"E_COMPARE_FUNC", core::getStrings<E_COMPARE_FUNC>(), 9, "Never", "Separate"},
        {"E_POLYGON_MODE", core::getStrings<E_POLYGON_MODE>(), 3, "Fill", "Point"},
        {"E_STENCIL_OP", core::getStrings<E_STENCIL_OP>(), 9, "Keep", "Separate"},
        {"E_SHADER_PARAMETER_TYPE", core::getStrings<E_SHADER_PARAMETER_TYPE>(), 65, "Constant", "Time"},
        {"E_SHADER_PARAMETER_VALUE_TYPE", core::getStrings<E_SHADER_PARAMETER_VALUE_TYPE>(), 19, "ubyte",
         "light"},
        {"E_VERTEX_ATTRIBUTE", core::getStrings<E_VERTEX_ATTRIBUTE>(), 30, "Position", "SkinIndices"},
        {"E_VERTEX_ATTRIBUTE_VALUE_TYPE", core::getStrings<E_VERTEX_ATTRIBUTE_VALUE_TYPE>(), 7, "Byte",
         "Float"},
        {"E_SHADE_MODEL", core::getStrings<E_SHADE_MODEL>(), 2, "Flat", "Smooth"},
        {"E_FOG_MODE", core::getStrings<E_FOG_MODE>(), 4, "None", "Exp2"},
        {"E_RENDER_HINT", core::getStrings<E_RENDER_HINT>(), 3, "Fastest", "Don't Care"},
        {"E_TEXTURE_ENV_MODE", core::getStrings<E_TEXTURE_ENV_MODE>(), 6, "Modulate", "Combine"},
        {"E_TEXTURE_COMBINE_MODE", core::getStrings<E_TEXTURE_COMBINE_MODE>(), 7, "Modulate", "DOT3 RGB"},
        {"E_TEXTURE_COMBINE_SOURCE", core::getStrings<E_TEXTURE_COMBINE_SOURCE>(), 4, "Texture",
         "Primary Color"},
        {"E_TEXTURE_COMBINE_OPERAND", core::getStrings<E_TEXTURE_COMBINE_OPERAND>(), 4, "Source Color",
         "1 - Source Alpha"},
        {"E_TEX_GEN_TYPE", core::getStrings<E_TEX_GEN_TYPE>(), 3, "None", "Sphere Map"},
        {"E_COLOR_GEN", core::getStrings<E_COLOR_GEN>(), 7, "None", "TangentSpace Point Light "},
        {"E_PSP_TEXTURE_FUNC_MODE", core::getStrings<E_PSP_TEXTURE_FUNC_MODE>(), 5, "Modulate", "Add"},
        {"E_PSP_TEXTURE_FUNC_COLOR", core::getStrings<E_PSP_TEXTURE_FUNC_COLOR>(), 2, "RGB", "RGBA"},
        {"E_PSP_TEXTURE_MAP_MODE", core::getStrings<E_PSP_TEXTURE_MAP_MODE>(), 3, "UV Map", "Shade Map"},
        {"E_PSP_TEXTURE_PROJECTION_MAP_MODE", core::getStrings<E_PSP_TEXTURE_PROJECTION_MAP_MODE>(), 4,
         "Projection with Vertex coordinates (Vx, Vy, Vz)",
         "Projection with Normal coordinates (Nx, Ny, Nz)"},
        {"E_PSP_LIGHT_MODE", core::getStrings<E_PSP_LIGHT_MODE>(), 2, "single color",
         "Separate specular color"},
    };
    for (const auto& t : kTables) {
        SCOPED_TRACE(t.enumeration);
        int n = 0;
        while (t.names[n]) ++n;
        EXPECT_EQ(n, t.count);
        EXPECT_STREQ(t.names[0], t.first);
        EXPECT_STREQ(t.names[n - 1], t.last);
    }
    EXPECT_STREQ(core::getStrings<E_TEXTURE_COMBINE_MODE>()[5], "Substract");
    EXPECT_STREQ(core::getStrings<E_BLEND_FACTOR>()[9], "1 - Destination Alpha");
    EXPECT_STREQ(core::getStrings<E_STENCIL_OP>()[4], "Increment Wrap");
}
