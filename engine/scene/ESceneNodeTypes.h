#pragma once
// Node type codes: four characters packed with the first one in the low byte. "any_" is the
// wildcard of the type searches.

namespace pravik::scene {

constexpr unsigned makeNodeTypeCode(char a, char b, char c, char d)
{
    return unsigned((unsigned char)a) | (unsigned((unsigned char)b) << 8) | (unsigned((unsigned char)c) << 16) |
           (unsigned((unsigned char)d) << 24);
}

enum E_SCENE_NODE_TYPE : unsigned {
    ESNT_SCENE_MANAGER = makeNodeTypeCode('s', 'm', 'g', 'r'),
    ESNT_CUBE = makeNodeTypeCode('c', 'u', 'b', 'e'),
    ESNT_SPHERE = makeNodeTypeCode('s', 'p', 'h', 'r'),
    ESNT_TEXT = makeNodeTypeCode('t', 'e', 'x', 't'),
    ESNT_TERRAIN = makeNodeTypeCode('t', 'e', 'r', 'r'),
    ESNT_SKY_BOX = makeNodeTypeCode('s', 'k', 'y', '_'),
    ESNT_SHADOW_VOLUME = makeNodeTypeCode('s', 'h', 'd', 'w'),
    ESNT_MESH = makeNodeTypeCode('m', 'e', 's', 'h'),
    ESNT_LIGHT = makeNodeTypeCode('l', 'g', 'h', 't'),
    ESNT_EMPTY = makeNodeTypeCode('e', 'm', 't', 'y'),
    ESNT_DUMMY_TRANSFORMATION = makeNodeTypeCode('d', 'm', 'm', 'y'),
    ESNT_CAMERA = makeNodeTypeCode('c', 'a', 'm', '_'),
    ESNT_BILLBOARD = makeNodeTypeCode('b', 'i', 'l', 'l'),
    ESNT_ANIMATED_MESH = makeNodeTypeCode('a', 'm', 's', 'h'),
    ESNT_PARTICLE_SYSTEM = makeNodeTypeCode('p', 't', 'c', 'l'),
    ESNT_CAMERA_MAYA = makeNodeTypeCode('c', 'a', 'm', 'M'),
    ESNT_CAMERA_FPS = makeNodeTypeCode('c', 'a', 'm', 'F'),
    ESNT_UNKNOWN = makeNodeTypeCode('u', 'n', 'k', 'n'),
    ESNT_ANY = makeNodeTypeCode('a', 'n', 'y', '_'),
};

// Animator kinds: the standard ones in the order of the factory's names table.
enum E_SCENE_NODE_ANIMATOR_TYPE : int {
    ESNAT_FLY_CIRCLE = 0,
    ESNAT_FLY_STRAIGHT,
    ESNAT_FOLLOW_SPLINE,
    ESNAT_ROTATION,
    ESNAT_TEXTURE,
    ESNAT_DELETION,
    ESNAT_COLLISION_RESPONSE,
    ESNAT_CAMERA_FPS,
    ESNAT_CAMERA_MAYA,
    ESNAT_COUNT,
    ESNAT_OTHER = 10,
};

}  // namespace pravik::scene
