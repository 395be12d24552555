#include "engine/ps/PEmitterModel.h"
#include "engine/ps/PForcesModel.h"
#include "engine/ps/PSManager.h"
#include "engine/scene/CMeshBuffer.h"
#include "tests/engine/video/DriverTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace pravik;
using namespace pravik::ps;

namespace {

struct TestParticle {
    core::vector3d<float> Position;
    float Age = 0.f;
    float Life = 1.f;
    int Id = 0;
    float SortKey = 0.f;
};
using Ctx = IParticleContext<TestParticle>;
using Itt = Ctx::ParticleItt;

// What the test models saw, in order: "name first..last" (indices), shared by one system.
struct Journal {
    std::vector<std::string> calls;
};

// Models that log their calls. Generation appends BirthsPerFrame particles (ids counting up);
// life ages by the delta time and starts every newborn at Life.
struct TestGeneration : virtual Ctx {
    TestGeneration() { registerPParameter(BirthsPerFrame, "BirthsPerFrame"); registerPParameter(Journal_, "Journal"); }
    void initGenerationModel() override { Particles.clear(); }
    Itt generateParticles() override
    {
        const std::size_t old = Particles.size();
        for (int i = 0; i < BirthsPerFrame; ++i) {
            TestParticle p;
            p.Id = NextId++;
            Particles.push_back(p);
        }
        return Particles.begin() + std::ptrdiff_t(old);
    }
    int BirthsPerFrame = 1;
    int NextId = 1;
    Journal* Journal_ = nullptr;
};

template <int Which>
struct Logged : virtual Ctx {
    void log(const char* what, Itt first, Itt last)
    {
        Journal* j = *static_cast<Journal**>(getParameter("Journal"));
        if (j)
            j->calls.push_back(std::string(what) + " " + std::to_string(first - Particles.begin()) + ".." +
                               std::to_string(last - Particles.begin()));
    }
};

struct TestSize : Logged<0> {
    void initPSizeModel() override { log("initSizeModel", Particles.begin(), Particles.begin()); }
    void initPSize(Itt f, Itt l) override { log("initSize", f, l); }
    void applyPSize(Itt f, Itt l) override { log("applySize", f, l); }
};
struct TestColor : Logged<1> {
    void initPColorModel() override {}
    void initPColor(Itt f, Itt l) override { log("initColor", f, l); }
    void applyPColor(Itt f, Itt l) override { log("applyColor", f, l); }
    bool hasColorAnimationTrack() override { return false; }
};
struct TestMotion : Logged<2> {
    void initPMotionModel() override {}
    void initPMotion(Itt f, Itt l) override { log("initMotion", f, l); }
    void applyPMotion(Itt f, Itt l) override { log("applyMotion", f, l); }
};
struct TestSpin : Logged<3> {
    void initPSpinModel() override {}
    void initPSpin(Itt f, Itt l) override { log("initSpin", f, l); }
    void applyPSpin(Itt f, Itt l) override { log("applySpin", f, l); }
};
struct TestLife : Logged<4> {
    TestLife() { registerPParameter(Life, "Life"); }
    void initPLifeModel() override {}
    void initPLife(Itt f, Itt l) override
    {
        log("initLife", f, l);
        for (Itt p = f; p != l; ++p)
            p->Life = Life;
    }
    void applyPLife(Itt f, Itt l) override
    {
        log("applyLife", f, l);
        for (Itt p = f; p != l; ++p)
            p->Age += DeltaTime;
    }
    float Life = 10.f;
};
struct TestRender : Logged<5> {
    PRenderData* getRenderData(int) override { return &Data; }
    boost::intrusive_ptr<video::CVertexStreams> getRenderVertexStreams() override { return nullptr; }
    unsigned getRenderBufferSizeNeeded() const override { return 0; }
    void setRenderBuffer(void*, unsigned) override {}
    void initPRenderDataModel() override {}
    void initPRenderData(Itt f, Itt l) override { log("initRender", f, l); }
    void applyPRenderData(Itt f, Itt l) override { log("applyRender", f, l); }
    PRenderData Data;
};

using System = IParticleSystem<TestParticle>;

std::unique_ptr<System> makeSystem()
{
    return std::unique_ptr<System>(
        PSManager::getInstance()
            .createParticleSystem<TestParticle, TestGeneration, TestSize, TestColor, PEmitterModel<TestParticle>,
                                  TestMotion, PForcesModel<TestParticle>, TestSpin, TestLife, TestRender>());
}

TEST(ParticleFramework, HashAndParameterTable)
{
    EXPECT_EQ(hashString(""), 0u);
    EXPECT_EQ(hashString("abc"), 0xFB515711u);
    auto s = makeSystem();
    const char* names[] = {"AnimationDatabase", "EmitterType", "RadiusLength", "Width", "Height", "Life", "BirthsPerFrame"};
    for (const char* a : names)
        for (const char* b : names)
            if (a != b) {
                EXPECT_NE(hashString(a), hashString(b)) << a << " " << b;
            }
    s->setParameter("Width", 7.f);
    EXPECT_EQ(*static_cast<float*>(s->getParameter("Width")), 7.f);
    s->setParameter("Nobody", 3.f);  // writes nothing, leaves a null entry
    EXPECT_EQ(s->getParameter("Nobody"), nullptr);
    int dummy = 0;
    s->registerPParameter(dummy, "Width");  // the first registration wins
    s->setParameter("Width", 8.f);
    EXPECT_EQ(*static_cast<float*>(s->getParameter("Width")), 8.f);
    EXPECT_EQ(dummy, 0);
    EXPECT_EQ(s->getParameter("AnimationDatabase"), static_cast<void*>(&s->AnimationDatabase));
    // The classic defaults of the context.
    EXPECT_TRUE(s->isAlignUp());
    EXPECT_TRUE(s->isKeepAlignUp());
    EXPECT_FALSE(s->isSpinAxisInLocalSpace());
    EXPECT_EQ(s->getUpVector(), nullptr);
}

TEST(ParticleFramework, RandomSequenceRestartsAtInit)
{
    auto s = makeSystem();
    const float expect[] = {0.0538032f, 0.1320609f, 0.7092727f};
    for (int pass = 0; pass < 2; ++pass) {
        for (float e : expect)
            EXPECT_NEAR(s->getPRand().Randf(), e, 1e-6f);
        s->init();
    }
}

TEST(ParticleFramework, FrameOrderAndClock)
{
    auto s = makeSystem();
    Journal j;
    s->setParameter("Journal", &j);
    s->setParameter("BirthsPerFrame", 2);
    s->init();
    j.calls.clear();
    s->update(0.5f);
    const std::vector<std::string> first = {
        "initLife 0..2",  "initColor 0..2",  "initSize 0..2",  "initMotion 0..2", "initSpin 0..2", "initRender 0..2",
        "applyLife 0..2", "applyColor 0..2", "applySize 0..2", "applyMotion 0..2", "applySpin 0..2", "applyRender 0..2"};
    EXPECT_EQ(j.calls, first);
    EXPECT_EQ(s->DeltaTime, 0.5f);
    j.calls.clear();
    s->update(0.75f);
    EXPECT_EQ(j.calls.front(), "initLife 2..4");  // only the newborn
    EXPECT_EQ(j.calls[6], "applyLife 0..4");
    EXPECT_EQ(s->DeltaTime, 0.25f);
    s->update(0.75f);
    EXPECT_EQ(s->DeltaTime, 0.f);

    // Back in time: a reset (no particles, generator at the seed), then the frame from 0.
    const std::size_t before = s->Particles.size();
    ASSERT_EQ(before, 6u);
    s->getPRand().Randf();
    s->update(0.25f);
    EXPECT_EQ(s->Particles.size(), 2u);
    EXPECT_EQ(s->PreviousTime, 0.f);
    EXPECT_EQ(s->DeltaTime, 0.25f);
}

TEST(ParticleFramework, DeadParticlesAreReplacedFromTheBack)
{
    auto s = makeSystem();
    s->setParameter("BirthsPerFrame", 0);
    s->init();
    for (int id = 1; id <= 5; ++id) {
        TestParticle p;
        p.Id = id;
        p.Life = 10.f;
        p.Age = id == 2 ? 10.f : (id == 4 ? -1.f : 1.f);  // age reaching life, negative age
        s->Particles.push_back(p);
    }
    s->update(0.f);
    std::vector<int> ids;
    for (const TestParticle& p : s->Particles)
        ids.push_back(p.Id);
    EXPECT_EQ(ids, (std::vector<int>{1, 5, 3}));
}

TEST(ParticleFramework, AxisLocksAndRenderDataLayout)
{
    auto s = makeSystem();
    s->lockAxis(0, {0, 3, 4});
    s->lockAxis(1, {0, 0, 0});
    EXPECT_TRUE(s->AxisLocked[0]);
    EXPECT_TRUE(s->AxisLocked[1]);
    EXPECT_FLOAT_EQ(s->LockedAxes[0].Y, 0.3f);
    EXPECT_FLOAT_EQ(s->LockedAxes[0].Z, 0.4f);
    EXPECT_EQ(s->LockedAxes[1], core::vector3d<float>(0, 0, 0));

    pravik::CEngineServicesScope services;
    auto driver = test::makeNullDriver();
    const unsigned mask = (1u << video::EVA_POSITION) | (1u << video::EVA_NORMAL);
    auto streams = video::CVertexStreams::allocate(mask);
    streams->setupStreams(driver->createBuffer(video::EBT_VERTEX, video::EBU_STATIC, 96, nullptr, false), mask);
    streams->setVertexCount(4);
    boost::intrusive_ptr<scene::CMeshBuffer> mesh(new scene::CMeshBuffer(streams, video::CPrimitiveStream()));
    PRenderData data;
    EXPECT_EQ(data.PrimitiveStream.IndexType, video::EIT_NONE);
    EXPECT_EQ(data.PrimitiveStream.PrimitiveType, video::EPT_TRIANGLES);
    data.setRenderDataInfo(mesh.get(), nullptr);
    EXPECT_EQ(data.BytesPerParticle, 96u);
    ASSERT_TRUE(data.VertexStreams);
    EXPECT_EQ(data.VertexStreams->getAttributeMask() & mask, mask);
}

// Counts the draws one call makes from a fresh generator.
template <class F>
int drawsOf(F&& f, std::int32_t state = PSRandom::SEED)
{
    PSRandom counted, reference;
    counted.State = reference.State = state;
    f(counted);
    int n = 0;
    while (reference.State != counted.State && n < 1000) {
        reference.Randf();
        ++n;
    }
    return n;
}

TEST(ParticleDomains, PointsLieInsideWithTheirDrawCounts)
{
    const vec3 c(1, 2, 3);
    struct Case {
        const char* why;
        std::shared_ptr<PDomain> domain;
        int draws;  // -1: not fixed (rejection sampling)
    } cases[] = {
        {"point", std::make_shared<PDPoint>(c), 0},
        {"line", std::make_shared<PDLine>(c, vec3(4, 6, 3)), 1},
        {"box from corners", std::make_shared<PDBox>(vec3(1, 1, 1), vec3(-1, -1, -1)), 3},
        {"centred box", std::make_shared<PDBox>(4.f, 2.f, 1.f), 3},
        {"cylinder", std::make_shared<PDCylinder>(c, vec3(1, 7, 3), 2.f, 0.5f), 3},
        {"thin cylinder", std::make_shared<PDCylinder>(c, vec3(1, 2, 9), 1.f, 1.f), 3},
        {"cone", std::make_shared<PDCone>(c, vec3(5, 2, 3), 0.f, 2.f), 3},
        {"solid sphere", std::make_shared<PDSphere>(c, 5.f, 2.f), -1},
        {"shell", std::make_shared<PDSphere>(c, 3.f, 3.f), -1},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.why);
        PSRandom rand;
        for (int i = 0; i < 500; ++i) {
            const vec3 p = k.domain->generate(rand);
            // Shells have no volume: their points sit on the radius only to rounding.
            const bool shell = k.domain->getType() == EDT_SPHERE ||
                               (k.domain->getType() == EDT_CYLINDER && static_cast<const PDCylinder*>(k.domain.get())->ThinShell);
            EXPECT_TRUE(shell || k.domain->within(p)) << p.X << " " << p.Y << " " << p.Z;
            if (k.domain->getType() == EDT_CYLINDER && shell) {
                EXPECT_NEAR(vec3(p.X - c.X, p.Y - c.Y, 0).getLength(), 1.f, 1e-5f);
                EXPECT_TRUE(p.Z >= c.Z && p.Z <= 9.f);
            }
            if (k.domain->getType() == EDT_SPHERE) {
                const auto* s = static_cast<const PDSphere*>(k.domain.get());
                const float d = (p - s->Centre).getLength();
                EXPECT_GE(d, s->RadiusIn - 1e-4f);
                EXPECT_LE(d, s->RadiusOut + 1e-4f);
            }
        }
        if (k.draws >= 0) {
            EXPECT_EQ(drawsOf([&](PSRandom& r) { k.domain->generate(r); }), k.draws);
        }
        std::unique_ptr<PDomain> clone(k.domain->copy());
        EXPECT_EQ(clone->getType(), k.domain->getType());
        EXPECT_EQ(clone->size(), k.domain->size());
    }
    // A shell makes three draws a try and no radius draw; a solid sphere four when the first try holds.
    PDSphere shell(c, 3.f, 3.f), solid(c, 0.f, 3.f);
    PSRandom probe;
    std::int32_t accepted = 0, rejected = 0;  // states whose first try is accepted, or not
    while (!accepted || !rejected) {
        const std::int32_t state = probe.State;
        const float u1 = probe.Randf() - 0.5f, u2 = probe.Randf() - 0.5f, u3 = probe.Randf() - 0.5f;
        (u1 * u1 + u2 * u2 + u3 * u3 <= 0.25f ? accepted : rejected) = state;
        probe.State = state;
        probe.Randf();
    }
    EXPECT_EQ(drawsOf([&](PSRandom& r) { shell.generate(r); }, accepted), 3);
    EXPECT_EQ(drawsOf([&](PSRandom& r) { solid.generate(r); }, accepted), 4);
    EXPECT_GE(drawsOf([&](PSRandom& r) { solid.generate(r); }, rejected), 7);

    PDBox box(vec3(1, 1, 1), vec3(-1, -1, -1));
    EXPECT_EQ(box.Min, vec3(-1, -1, -1));
    EXPECT_EQ(box.Max, vec3(1, 1, 1));
    EXPECT_EQ(box.size(), 6.f);
    PDSphere a(c, 2.f, 5.f), b(c, 5.f, 2.f);
    EXPECT_EQ(a.RadiusOut, b.RadiusOut);
    EXPECT_EQ(a.RadiusIn, b.RadiusIn);

    PDBlob blob(c, 0.f);
    PSRandom r;
    const vec3 p = blob.generate(r);
    EXPECT_TRUE(std::isfinite(p.X) && std::isfinite(blob.DensityFactor));
}

TEST(ParticleDomains, TransformPlacesAnew)
{
    core::CMatrix4<float> m;
    m.setTranslation({10, 0, 0});
    PDBox box(vec3(2, 2, 2), vec3(4, 4, 4));
    box.transform(m);
    box.transform(m);  // not compounded
    EXPECT_EQ(box.Min, vec3(9, -1, -1));
    EXPECT_EQ(box.Max, vec3(11, 1, 1));
    PDPoint point(vec3(1, 1, 1));
    point.transform(m);
    point.transform(m);  // a point does accumulate
    EXPECT_EQ(point.Point, vec3(21, 1, 1));
    PDSphere sphere(vec3(5, 5, 5), 1.f, 0.f);
    sphere.transform(m);
    EXPECT_EQ(sphere.Centre, vec3(10, 0, 0));
    PDCone cone(vec3(0, 0, 0), vec3(0, 1, 0), 0.f, 1.f);
    cone.transform(m);
    EXPECT_EQ(cone.Apex, vec3(0, 0, 0));
    PDCylinder cyl(10.f, 1.f);
    core::CMatrix4<float> turn;
    turn.setRotationDegrees({0, 0, 90});
    cyl.transform(turn);  // now along -x, still centred on the origin
    EXPECT_NEAR(cyl.Axis.X, -10.f, 1e-4f);
    EXPECT_TRUE(cyl.within(vec3(4.5f, 0.5f, 0)));
    EXPECT_FALSE(cyl.within(vec3(5.5f, 0, 0)));
    PDLine degenerate(vec3(1, 1, 1), vec3(1, 1, 1));
    EXPECT_EQ(degenerate.Direction, vec3(0, 0, 0));
    EXPECT_TRUE(degenerate.within(vec3(1, 1, 1)));
}

TEST(ParticleEmitterModel, DomainsFromParameters)
{
    struct Case {
        const char* why;
        int type;
        float width, height, radius;
        std::function<bool(const vec3&)> inside;
    } cases[] = {
        {"box", 0, 4, 2, 1,
         [](const vec3& p) { return std::fabs(p.X) <= 2 && std::fabs(p.Y) <= 1 && std::fabs(p.Z) <= 0.5f; }},
        {"sphere", 1, 0, 0, 3, [](const vec3& p) { return p.getLength() <= 3.0001f; }},
        {"cylinder", 2, 0, 10, 1,
         [](const vec3& p) { return std::fabs(p.Y) <= 5 && p.X * p.X + p.Z * p.Z <= 1.0001f; }},
        {"unknown type keeps the default box", 7, 9, 9, 9,
         [](const vec3& p) { return std::fabs(p.X) <= 1 && std::fabs(p.Y) <= 1 && std::fabs(p.Z) <= 1; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        auto s = makeSystem();
        s->setParameter("EmitterType", c.type);
        s->setParameter("Width", c.width);
        s->setParameter("Height", c.height);
        s->setParameter("RadiusLength", c.radius);
        s->setParameter("BirthsPerFrame", 50);
        s->init();
        s->update(0.1f);
        ASSERT_EQ(s->Particles.size(), 50u);
        for (const TestParticle& p : s->Particles)
            EXPECT_TRUE(c.inside(p.Position)) << p.Position.X << " " << p.Position.Y << " " << p.Position.Z;
    }
    // The world matrix places later batches; particles already born stay.
    auto s = makeSystem();
    core::CMatrix4<float> world;
    s->setWorldMatrixPtr(&world);
    s->update(0.1f);  // never initialised: the default box
    const vec3 firstBorn = s->Particles[0].Position;
    EXPECT_LE(std::fabs(firstBorn.X), 1.f);
    world.setTranslation({100, 0, 0});
    s->update(0.2f);
    EXPECT_EQ(s->Particles[0].Position, firstBorn);
    EXPECT_NEAR(s->Particles[1].Position.X, 100.f, 1.f);
}

struct OrderForce : PForce<TestParticle> {
    OrderForce(const void* id, int priority, std::vector<int>* log, int* deleted)
        : PForce(id, priority), Log(log), Deleted(deleted) {}
    ~OrderForce() override { ++*Deleted; }
    void apply(Itt, Itt, Ctx&) override { Log->push_back(Priority); }
    std::vector<int>* Log;
    int* Deleted;
};

TEST(ParticleForcesModel, PriorityOrderAndRemoval)
{
    std::vector<int> order;
    int deleted = 0;
    const int ids[4] = {};
    {
        auto s = makeSystem();
        EXPECT_EQ(s->addPForce(new OrderForce(&ids[0], 5, &order, &deleted)), 1);
        EXPECT_EQ(s->addPForce(new OrderForce(&ids[1], 0, &order, &deleted)), 2);
        EXPECT_EQ(s->addPForce(new OrderForce(&ids[2], 2, &order, &deleted)), 3);
        s->update(0.1f);
        EXPECT_EQ(order, (std::vector<int>{0, 2, 5}));

        OrderForce probe(&ids[1], 99, &order, &deleted);  // identity only
        s->removePForce(&probe);
        EXPECT_EQ(deleted, 1);
        s->removePForce(2);  // past the end: nothing
        EXPECT_EQ(deleted, 1);
        s->removePForce(0);  // the first of the (sorted) array: priority 2
        EXPECT_EQ(deleted, 2);
        order.clear();
        s->update(0.2f);
        EXPECT_EQ(order, (std::vector<int>{5}));
    }
    EXPECT_EQ(deleted, 4);  // the last stored force and the probe
}

} // namespace
