#include "audio/DriverCallbackInterface.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using kez::DriverCallbackSourceInterface;

class Mixer3D : public ::testing::Test {
protected:
    Mixer3D() : mixer(32000, 0.032f) {
        kez::TrackParams mono{1, 32000, 16, 100};
        source = static_cast<DriverCallbackSourceInterface*>(mixer.CreateDriverSource(&mono, nullptr, 0));
    }
    void listener(int model, float doppler = 1.0f, kez::ListenerParameters l = defaultListener()) {
        kez::Kez3DGeneralParameters g;
        g.distanceModel = model;
        g.dopplerFactor = doppler;
        DriverCallbackSourceInterface::Set3DParameters(l, g);
    }
    static kez::ListenerParameters defaultListener() {
        kez::ListenerParameters l;
        l.forward[2] = -1.0f;
        l.up[1] = 1.0f;
        return l;
    }
    void set(int id, float v) { source->Set3DParameter(id, &v); }
    void set3(int id, float x, float y, float z) {
        float v[3] = {x, y, z};
        source->Set3DParameter(id, v);
    }

    kez::DriverCallbackMixer mixer;
    DriverCallbackSourceInterface* source;
};

TEST_F(Mixer3D, DistanceModels) {
    const struct { int model; float ref, max, rolloff, distance; int gain; } kCases[] = {
        {4, 1, 21, 1, 11, 8192},    // the documented example
        {4, 1, 21, 1, 30, 0},
        {1, 1, 21, 0, 500, 16384},  // rolloff 0
        {2, 1, 1e30f, 1, 4, 4096},
        {3, 1, 21, 1, 0, 16384},    // 1.05 without the bound
        {5, 1, 1e30f, 1, 0, 16384}, // unbounded at distance 0 without it
        {6, 2, 1e30f, 1, 8, 4096},
        {9, 1, 21, 1, 11, 16384},   // no attenuation
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(testing::Message() << "model " << c.model << " at " << c.distance);
        listener(c.model);
        set(2, c.ref);
        set(1, c.max);
        set(3, c.rolloff);
        set3(8, c.distance, 0, 0);
        EXPECT_EQ(source->GetDistanceGain(), c.gain);
    }
}

TEST_F(Mixer3D, PanningConeAndDoppler) {
    listener(2);
    int l = 0, r = 0;
    source->GetStereoPanning(&l, &r);  // at the listener
    EXPECT_EQ(l, 11585);
    EXPECT_EQ(r, 11585);
    set3(8, 5, 0, 0);  // along forward x up: the right
    source->GetStereoPanning(&l, &r);
    EXPECT_EQ(l, 0);
    EXPECT_EQ(r, 16384);
    set3(8, 0, 0, -3);  // straight ahead
    source->GetStereoPanning(&l, &r);
    EXPECT_EQ(l, 11585);
    EXPECT_EQ(r, 11585);

    set(4, 90);
    set(5, 180);
    set(6, 0.2f);
    set3(8, 0, 0, 0);
    const struct { float degrees; int gain; } kCone[] = {{40, 16384}, {67.5f, 9830}, {90, 3276}, {120, 3276}};
    for (const auto& c : kCone) {
        SCOPED_TRACE(c.degrees);
        const float rad = c.degrees * 3.14159265f / 180.0f;
        set3(8, 0, 0, 10);                           // the listener lies along -z from the source
        set3(10, std::sin(rad), 0, -std::cos(rad));  // the cone's axis, c.degrees off that line
        EXPECT_NEAR(source->GetDirectionalGain(), c.gain, 1);
    }

    kez::ListenerParameters still = defaultListener();
    listener(2, 1.0f, still);
    set3(8, 0, 0, -100);
    set3(9, 0, 0, 343.3f);  // approaching at the speed of sound
    EXPECT_EQ(source->GetDopplerPitch(), 16384);
    set3(9, 0, 0, 340.0f);
    EXPECT_EQ(source->GetDopplerPitch(), 47513);
    set3(9, 0, 0, 0);
    still.velocity[2] = 1000.0f;  // the listener runs away faster than sound
    listener(2, 1.0f, still);
    EXPECT_EQ(source->GetDopplerPitch(), 16);
}

}  // namespace
