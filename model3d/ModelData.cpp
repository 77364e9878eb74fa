#include "model3d/ModelData.h"

#include <cmath>

#include "base/NumberFormat.h"

const char* const kNoModelDataMessage = "没有数据信息，无法创建模型模版。";
const char* const kTerrainLoadedMessage = "地形信息已经加载。模型将采用带地形网格。";
const char* const kNoTerrainPointMessage = "地形文件中没有读到地形点。模型将采用无地形网格。";
const char* const kNoLayerMessage = "背景电阻率模型没有层，无法创建模型。";
const char* const kBadCellWidthMessage = "网格宽度和层厚度必须是正数，无法创建模型。";
const char* const kNoBackgroundLayerMessage = "背景电阻率文件中没有可用的层，层表保持不变。";
const char* const kNoLayerToSaveMessage = "背景电阻率模型没有层，没有保存背景模型文件。";
const char* const kNoBoundaryMessage = "没有构造有效区域的边界点，没有保存边界文件。";

std::string TruncatedText(double value)
{
    double whole = std::trunc(value);
    if (whole == 0) whole = 0;  // no "-0"
    return CFormat("%.0f", whole);
}
