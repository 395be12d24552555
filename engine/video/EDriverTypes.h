#pragma once
// Enumerations of the video driver with their name tables (value order, closed by a null
// entry): the attribute store writes and reads these values by name, log lines print them.

#include <cstddef>

namespace pravik::video {

enum E_DRIVER_TYPE : unsigned int { EDT_NULL = 0, EDT_OGLES1 = 1, EDT_COUNT };

// Bit f of the driver's 25-bit feature set.
enum E_VIDEO_DRIVER_FEATURE : unsigned int {
    EVDF_FEATURE_COUNT = 25,
    EVDF_MIP_MAP_GENERATION = 2,
    EVDF_TEXTURE_NSQUARE = 4,
    EVDF_TEXTURE_NPOT = 5,
    EVDF_TEXTURE_2D = 6,
    EVDF_TEXTURE_3D = 7,
    EVDF_TEXTURE_CUBE_MAP = 8,
    EVDF_TEXTURE_RECTANGLE = 9,
    EVDF_RENDER_BUFFER = 11,
    EVDF_TEXTURE_COMMIT = 24
};

enum E_TRANSFORMATION_STATE : unsigned int { ETS_VIEW = 0, ETS_WORLD, ETS_PROJECTION, ETS_COUNT };

enum E_LIGHT_TYPE : unsigned short { ELT_POINT = 0, ELT_SPOT, ELT_DIRECTIONAL, ELT_AMBIENT, ELT_COUNT };

enum E_ORIENTATION : unsigned int { EOO_0 = 0, EOO_90, EOO_180, EOO_270, EOO_COUNT };

// OpenGL and OpenGL ES extension names as "GL_EXTENSIONS" reports them: 0-82 "GL_ARB_",
// 83-363 desktop "GL_EXT_" and vendor names, 364-438 OpenGL ES names.
enum E_GL_EXTENSION : unsigned int {
    EGLE_ARB_texture_non_power_of_two = 26,
    EGLE_ARB_texture_rectangle = 30,
    EGLE_ARB_half_float_pixel = 32,
    EGLE_ARB_texture_float = 33,
    EGLE_ARB_framebuffer_object = 37,
    EGLE_EXT_texture3D = 87,
    EGLE_EXT_blend_minmax = 114,
    EGLE_EXT_texture_lod_bias = 196,
    EGLE_EXT_texture_filter_anisotropic = 197,
    EGLE_EXT_texture_compression_s3tc = 208,
    EGLE_NV_packed_depth_stencil = 228,
    EGLE_NV_texture_rectangle = 231,
    EGLE_NV_half_float = 271,
    EGLE_EXT_texture_compression_dxt1 = 289,
    EGLE_EXT_framebuffer_object = 290,
    EGLE_EXT_packed_depth_stencil = 292,
    EGLE_OES_blend_equation_separate = 364,
    EGLE_OES_blend_func_separate = 365,
    EGLE_OES_blend_subtract = 366,
    EGLE_OES_framebuffer_object = 373,
    EGLE_OES_texture_cube_map = 382,
    EGLE_OES_depth24 = 386,
    EGLE_OES_depth32 = 387,
    EGLE_OES_rgb8_rgba8 = 392,
    EGLE_OES_stencil1 = 393,
    EGLE_OES_stencil4 = 394,
    EGLE_OES_stencil8 = 395,
    EGLE_OES_texture_3D = 396,
    EGLE_OES_texture_float = 399,
    EGLE_OES_texture_half_float = 400,
    EGLE_OES_texture_npot = 401,
    EGLE_EXT_texture_type_2_10_10_10_REV = 405,
    EGLE_OES_depth_texture = 406,
    EGLE_OES_packed_depth_stencil = 407,
    EGLE_EXT_texture_format_BGRA8888 = 412,
    EGLE_IMG_texture_compression_pvrtc = 414,
    EGLE_APPLE_texture_2D_limited_npot = 419,
    EGLE_APPLE_texture_format_BGRA8888 = 434,
    EGLE_APPLE_texture_max_level = 435,
    EGLE_ARM_rgba8 = 437,
    EGLE_IMG_texture_format_BGRA8888 = 438,
    EGLE_COUNT = 439
};

// How getProcessBuffer hands out vertex memory.
enum E_PROCESS_BUFFER_TYPE : unsigned int { EPBT_FRAME = 0, EPBT_BINDING = 1 };

enum E_DRIVER_ALLOCATION_RESULT : unsigned int {
    EDAR_SUCCESS = 4,         // the streams point at a buffer holding the range
    EDAR_COMPILED = 5,        // the streams point at precompiled batch-mesh data
    EDAR_NOTHING = 8,         // empty range or mask
    EDAR_MISMATCH = 9,        // the binding's buffer is for another range and none may be made
    EDAR_NOT_NEEDED = 16      // device or compiled data already there (type 0), or no buffer (type 1)
};

enum E_BUFFER_TYPE : unsigned char;
enum E_BUFFER_USAGE : unsigned char;

const char* const* getStringsInternal(E_BUFFER_TYPE*);
const char* const* getStringsInternal(E_BUFFER_USAGE*);   // usage 4 has no name
const char* const* getStringsInternal(E_LIGHT_TYPE*);
const char* const* getStringsInternal(E_ORIENTATION*);
const char* const* getStringsInternal(E_GL_EXTENSION*);

}  // namespace pravik::video

namespace pravik::core {

template <class E>
const char* const* getStrings()
{
    return getStringsInternal(static_cast<E*>(nullptr));
}

}  // namespace pravik::core
