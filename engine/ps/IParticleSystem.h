#pragma once
// A particle system: the context plus its generator, seed and the owner's world matrix, and the
// frame that drives the models in a fixed order. update(time) takes an absolute time in seconds;
// a time earlier than the last one resets the system first.
//
// Frame: births (generation model), the newborn initialised (life, colour, size, position,
// forces, motion, spin, render data), every particle aged (life model), the dead removed, then
// colour, size, forces, motion, spin and render data over the survivors.

#include "engine/ps/IParticleContext.h"

#include <utility>

namespace pravik::ps {

template <class P>
class IParticleSystem : public virtual IParticleContext<P> {
public:
    using Context = IParticleContext<P>;
    using typename Context::ParticleItt;

    PSRandom& getPRand() override { return Rand; }
    ~IParticleSystem() override = default;
    virtual void init();
    virtual void update(float time);
    const core::CMatrix4<float>* getWorldMatrixPtr() const override { return WorldMatrix; }
    void setWorldMatrixPtr(const core::CMatrix4<float>* matrix) { WorldMatrix = matrix; }

    PSRandom Rand;
    std::int32_t Seed = PSRandom::SEED;
    const core::CMatrix4<float>* WorldMatrix = nullptr;  // the owner's absolute transformation

protected:
    // Fills each hole from the back: survivors keep their order only up to the first death.
    void removeDeadParticles();
};

template <class P>
void IParticleSystem<P>::init()
{
    Rand.State = Seed;
    this->PreviousTime = 0.f;
    this->Time = 0.f;
    this->initGenerationModel();
    this->initPSizeModel();
    this->initPColorModel();
    this->initPEmitterModel();
    this->initPMotionModel();
    this->initPForcesModel();
    this->initPSpinModel();
    this->initPLifeModel();
    this->initPRenderDataModel();
}

template <class P>
void IParticleSystem<P>::update(float time)
{
    if (time - this->Time < 0.f)
        init();
    this->PreviousTime = this->Time;
    this->Time = time;
    this->DeltaTime = this->Time - this->PreviousTime;

    // Births may move the array: take positions by index.
    const ParticleItt newborn = this->generateParticles();
    const std::size_t firstNew = std::size_t(newborn - this->Particles.begin());
    auto first = [this] { return this->Particles.begin(); };
    auto end = [this] { return this->Particles.end(); };
    this->initPLife(first() + firstNew, end());
    this->initPColor(first() + firstNew, end());
    this->initPSize(first() + firstNew, end());
    this->initPPosition(first() + firstNew, end());
    this->initPForces(first() + firstNew, end());
    this->initPMotion(first() + firstNew, end());
    this->initPSpin(first() + firstNew, end());
    this->initPRenderData(first() + firstNew, end());

    this->applyPLife(first(), end());
    removeDeadParticles();

    this->applyPColor(first(), end());
    this->applyPSize(first(), end());
    this->applyPForces(first(), end());
    this->applyPMotion(first(), end());
    this->applyPSpin(first(), end());
    this->applyPRenderData(first(), end());
}

template <class P>
void IParticleSystem<P>::removeDeadParticles()
{
    auto alive = [](const P& p) { return !(p.Age >= p.Life || p.Age < 0.f); };
    auto& particles = this->Particles;
    std::size_t n = particles.size();
    std::size_t p = 0, q = particles.size();
    while (p != q) {
        if (alive(particles[p])) {
            ++p;
            continue;
        }
        --q;
        --n;
        while (p < q && !alive(particles[q])) {
            --q;
            --n;
        }
        if (p == q)
            break;
        std::swap(particles[p], particles[q]);
        ++p;
    }
    particles.resize(n);
}

} // namespace pravik::ps
