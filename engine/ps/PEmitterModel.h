#pragma once
// Where new particles start: a domain built from the parameters "EmitterType" (0 box, 1 solid
// sphere, 2 solid cylinder along y), "RadiusLength", "Width" and "Height", placed under the
// system's world matrix before every batch (unless the system runs in local space). An emitter
// type outside 0-2 keeps the domain it had (at first the box from (-1,-1,-1) to (1,1,1)).

#include "engine/ps/IParticleContext.h"
#include "engine/ps/PDomain.h"

#include <memory>

namespace pravik::ps {

template <class P>
class PEmitterModel : public virtual IParticleContext<P> {
public:
    using typename IParticleContext<P>::ParticleItt;

    PEmitterModel() : Domain(new PDBox(vec3(-1, -1, -1), vec3(1, 1, 1)))
    {
        this->registerPParameter(EmitterType, "EmitterType");
        this->registerPParameter(RadiusLength, "RadiusLength");
        this->registerPParameter(Width, "Width");
        this->registerPParameter(Height, "Height");
    }
    ~PEmitterModel() override { delete Domain; }

    void initPEmitterModel() override
    {
        PDomain* next = nullptr;
        switch (EmitterType) {
        case 0: next = new PDBox(Width, Height, RadiusLength); break;
        case 1: next = new PDSphere(vec3(0, 0, 0), RadiusLength, 0.f); break;
        case 2: next = new PDCylinder(Height, RadiusLength); break;
        default: return;
        }
        delete Domain;
        Domain = next;
    }

    void initPPosition(ParticleItt first, ParticleItt last) override
    {
        PSRandom& rand = this->getPRand();
        const core::CMatrix4<float>* world = this->getWorldMatrixPtr();
        if (!this->LocalSpace && world)
            Domain->transform(*world);
        for (ParticleItt p = first; p != last; ++p)
            p->Position = Domain->generate(rand);
    }

    PDomain* Domain;
    int EmitterType = 0;
    float RadiusLength = 2.f;
    float Width = 2.f;
    float Height = 2.f;
};

} // namespace pravik::ps
