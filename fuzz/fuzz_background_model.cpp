// The background model file read back by the model builder's "加载": either a full layer table of
// positive thicknesses and resistivities, or no change at all.

#include <cmath>

#include "FuzzInput.h"
#include "model3d/Layers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string file = fuzz::InputFile("background.pri", data, size);
    ModelData model;
    model.LayerDz = {10, 20};
    model.LayerRho = {100, 100};
    fuzz::Expecting([&] {
        if (!ReadBackgroundModel(file, model)) {
            if (model.LayerDz.size() != 2 || model.LayerRho.size() != 2) std::abort();
            return;
        }
        if (model.LayerDz.empty() || model.LayerDz.size() != model.LayerRho.size()) std::abort();
        for (size_t i = 0; i < model.LayerDz.size(); ++i)
            if (!(model.LayerDz[i] > 0) || !(model.LayerRho[i] > 0) ||
                !std::isfinite(model.LayerDz[i]) || !std::isfinite(model.LayerRho[i]))
                std::abort();
    });
    return 0;
}
