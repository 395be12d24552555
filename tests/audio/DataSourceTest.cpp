#include <gtest/gtest.h>

#include "audio/decoders/DecoderCursorInterface.h"
#include "tests/audio/AudioTestSupport.h"

namespace {

// A decoder whose cursors report no channels.
class SilentDecoder : public kez::DecoderInterface {
public:
    class Cursor : public kez::DecoderCursorInterface {
    public:
        using DecoderCursorInterface::DecoderCursorInterface;
        int Decode(void*, int) override { return 0; }
        bool HasData() override { return false; }
        int Seek(unsigned) override { return 0; }
    };
    kez::DecoderCursorInterface* CreateNewCursor(kez::StreamCursorInterface* s) override {
        return kez::KezNew<Cursor>(this, s);
    }
    void DestroyCursor(kez::DecoderCursorInterface* c) override { kez::KezDelete(c); }
    int GetType() override { return 77; }
    void* GetParam() override { return nullptr; }
};
kez::DecoderInterface* silentFactory(void*) { return kez::KezNew<SilentDecoder>(); }

class DataSources : public ::testing::Test {
protected:
    test::EngineHarness h;
    std::vector<int16_t> samples = test::testSignal(1000, 2);
    kez::StreamMemoryBufferParams params{samples.data(), int(samples.size() * 2), true, false};
    kez::TrackParams track{2, 32000, 16, 1000};
};

TEST_F(DataSources, AsynchronousLoadsBecomeReadyAtTheNextPass) {
    for (int mode : {0, 1, 2}) {
        SCOPED_TRACE(mode);
        kez::DataHandle d = h.engine->LoadDataSourceAsync(0, &params, 0, &track, 0, kez::KezSourceLoadingFlags(mode));
        EXPECT_TRUE(h.engine->IsValid(d));
        EXPECT_FALSE(h.engine->IsReady(d));
        EXPECT_EQ(h.engine->GetDuration(d), 0.0f);
        h.pass();
        EXPECT_TRUE(h.engine->IsReady(d));
        EXPECT_FLOAT_EQ(h.engine->GetDuration(d), 1000.0f / 32000.0f);
    }
}

TEST_F(DataSources, ConversionsKeepTheSoundAndTheGroup) {
    kez::DataHandle file = h.loadRaw(samples, 2, 32000, 3);
    kez::DataHandle raw = h.engine->ConvertToRawSource(file);
    kez::DataHandle ram = h.engine->ConvertToRamBufferSource(file);
    for (kez::DataHandle* d : {&raw, &ram}) {
        ASSERT_TRUE(h.engine->IsReady(*d));
        auto* obj = static_cast<kez::DataObj*>(d->GetObjectPointer());
        EXPECT_EQ(obj->GetGroup(), 3);
        EXPECT_EQ(obj->GetTrackParams().numSamples, 1000);
        EXPECT_EQ(obj->GetStream()->Size(), 4000);
        EXPECT_EQ(obj->GetDecoder()->GetType(), 0);
    }
}

TEST_F(DataSources, FailedLoadsAndGroupMasks) {
    const int silent = h.engine->RegisterDecoderType(silentFactory);
    kez::DataHandle none = h.engine->LoadDataSource(0, &params, silent, nullptr, 0);
    EXPECT_FALSE(h.engine->IsValid(none));
    kez::DataHandle failed = h.engine->LoadDataSourceAsync(0, &params, silent, nullptr, 0, kez::KezSourceLoadingFlags(0));
    h.pass();
    EXPECT_TRUE(h.engine->IsValid(failed));  // failed, and alive until released
    EXPECT_FALSE(h.engine->IsReady(failed));
    failed = kez::DataHandle();
    h.pass();
    kez::DataHandle all[4];
    EXPECT_EQ(h.engine->GetAllDataSources(all, 0), 0);

    kez::DataHandle outOfRange = h.loadRaw(samples, 2, 32000, 40);  // kept inside the 32 gain groups
    h.engine->ReleaseDatasource(0u);
    EXPECT_TRUE(h.engine->IsReady(outOfRange));
    h.engine->ReleaseDatasource(1u);
    EXPECT_FALSE(h.engine->IsReady(outOfRange));
}

}  // namespace
