#pragma once
// Assembles a particle system at compile time from one class per concern: the generation,
// size, colour, emitter, motion, forces, spin, life and render-data models, each deriving
// virtually from the one context. The object is zeroed before its constructors run; the caller
// owns it and destroys it with delete.

#include "engine/ps/IParticleSystem.h"

#include <cstring>
#include <new>

namespace pravik::ps {

class PSManager {
public:
    static PSManager& getInstance()
    {
        static PSManager s_Instance;
        return s_Instance;
    }

    template <class P, class Generation, class Size, class Color, class Emitter, class Motion, class Forces, class Spin,
              class Life, class RenderData>
    IParticleSystem<P>* createParticleSystem()
    {
        class Mixin final : public IParticleSystem<P>,
                            public Generation,
                            public Size,
                            public Color,
                            public Emitter,
                            public Motion,
                            public Forces,
                            public Spin,
                            public Life,
                            public RenderData {};
        void* memory = ::operator new(sizeof(Mixin));
        std::memset(memory, 0, sizeof(Mixin));
        return new (memory) Mixin;
    }
};

} // namespace pravik::ps
