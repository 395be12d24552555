#pragma once
// The caller's hook into scene files: told of each node read and of its user data, and asked
// for the user data to write with each node.

namespace pravik::io {
class IAttributes;
}

namespace pravik::scene {

class ISceneNode;

class ISceneUserDataSerializer {
public:
    virtual ~ISceneUserDataSerializer() = default;
    virtual void nodeLoaded(ISceneNode* node) = 0;
    virtual void userDataLoaded(ISceneNode* node, const io::IAttributes* userData) = 0;
    virtual io::IAttributes* createUserDataFor(ISceneNode* node) = 0;  // count 1 (the writer drops it), or null
};

}  // namespace pravik::scene
