// The terrain load of the model builder, and the interpolation over the loaded points at a few
// places: the first point, the middle and a corner of their extent, and beyond it.

#include <algorithm>

#include "FuzzInput.h"
#include "model3d/Terrain.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string file = fuzz::InputFile("terrain.pos", data, size);
    ModelData model;
    fuzz::Expecting([&] {
        if (LoadTerrainFile(file, model) != TerrainLoad::Loaded) return;
        const std::vector<float>&x = model.TerrainX, &y = model.TerrainY, &z = model.TerrainZ;
        int n = static_cast<int>(x.size());
        TerrainInterpolator terrain(x.data(), y.data(), z.data(), n);
        auto [xMin, xMax] = std::minmax_element(x.begin(), x.end());
        auto [yMin, yMax] = std::minmax_element(y.begin(), y.end());
        const float queries[][2] = {{x[0], y[0]},
                                    {*xMin / 2 + *xMax / 2, *yMin / 2 + *yMax / 2},
                                    {*xMin, *yMax},
                                    {*xMax + 1000, *yMin - 1000}};
        for (const auto& q : queries) {
            float value;
            terrain.Interpolate(q[0], q[1], 0, value);
        }
    });
    return 0;
}
