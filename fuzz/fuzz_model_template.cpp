// An IMP file taken as the model builder's template, and the builder's presets derived from its
// points.

#include "FuzzInput.h"
#include "model3d/ModelData.h"
#include "model3d/ModelTemplate.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string file = fuzz::InputFile("template.imp", data, size);
    fuzz::Expecting([&] {
        ModelTemplate model = ReadModelTemplate(file);
        if (model.Points.Count() == 0) return;
        ModelSettings settings;
        ApplyModelDefaults(ComputeModelDefaults(model.Points), settings);
    });
    return 0;
}
