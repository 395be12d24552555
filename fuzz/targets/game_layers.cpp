// UI layout layers: elements of 5 + n int16 values to the item's end. Byte 0 chooses the layer;
// the loaded copy and the live one are read element by element to their stated lengths.

#include "fuzz/FuzzTarget.h"
#include "fuzz/support/FuzzReaders.h"

#include "framework/ViDuz.h"
#include "game/CAIGame.h"
#include "tools/formats/LayoutLayerWriter.h"

#include <cstdlib>

namespace {

constexpr int kLayers = 38;

void useLayer(const CDataArray<CDataArray<CDataArray<int16_t>>>& layers, int layer) {
    if (layer >= layers.length) std::abort();
    const auto& l = layers.data[layer];
    for (int e = 0; e < l.length; ++e) {
        if (l.data[e].length < 5) std::abort();  // every element has its five leading values
        fuzz::sum(l.data[e].data, sizeof(int16_t) * size_t(l.data[e].length));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    static const bool once = (CAIGame::InitGameLayers(), true);
    (void)once;
    const int layer = data[0] % kLayers;
    fuzz::openPackItem("14", layer, data + 1, size - 1);
    CAIGame::FreeGameLayer(layer, 0);
    CAIGame::LoadGameLayer(layer, 0);
    ViDuz::Pack_Close();
    useLayer(CAIGame::m_gameDataClean, layer);
    useLayer(CAIGame::m_gameData, layer);
    const int count = CAIGame::GetGameLayerElementCount(layer);
    for (int e = 0; e < count; ++e) {
        CAIGame::SetGraphItemVisibility(layer, e, 1);
        CAIGame::SetParamValue(layer, e, 9, 4);
    }
    CAIGame::ResetLayerData(layer);
    return 0;
}

std::vector<std::string> fuzz::seeds() {
    namespace l = formats::layers;
    l::Element graphic;
    graphic.id = 1, graphic.x = 10, graphic.y = 20;
    l::SetValue(graphic, 7, 2);
    l::SetValue(graphic, 6, -3);
    l::SetValue(graphic, 13, 0);
    l::Element text;
    text.kind = 2, text.id = 2;
    l::SetValue(text, 8, 4);
    l::Element rect;
    rect.kind = 4;
    rect.values = {1, 2, 3};
    const std::vector<uint8_t> layer = l::Write({graphic, text, rect});
    return {'\4' + std::string(layer.begin(), layer.end()), '\x25' + std::string(layer.begin(), layer.end())};
}
