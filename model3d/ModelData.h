#pragma once
// What the model builder works on: the values of the dialog's controls, and the dialog's own
// lists (mesh, layers, picks, boundary polygon, terrain points).
#include <string>
#include <vector>

// The controls' values as the dialog holds them: up-down positions as numbers, edit and combo
// box texts as typed, converted where each operation reads them.
struct ModelSettings {
    int Nx = 20;          // regular x cells
    std::string Dx;       // regular x cell width
    int NxS = 2;          // boundary cells on each x side
    std::string NxScale;  // growth ratio of the x boundary cells
    int Ny = 20;
    std::string Dy;
    int NyS = 2;
    std::string NyScale;
    int Nz = 20;     // regular layers
    std::string Dz;  // thickness of the first layer
    int NzS = 2;     // bottom boundary layers
    std::string NzScale;
    std::string fZsEdit = "1.10";  // growth ratio of the regular layers
    std::string MxRefEdit;         // model origin x, y, z (z grows downward)
    std::string MyRefEdit;
    std::string MzRefEdit = "0";
    std::string MRotEdit = "0";      // model rotation in degrees
    std::string ComboBox1 = "0.30";  // smoothing in x, y and z
    std::string ComboBox2 = "0.30";
    std::string ComboBox3 = "0.30";
    bool CheckBox1 = true;  // boundary cells keep the background model during the inversion
    std::string Edit3;      // source centre x, y, z
    std::string Edit4;
    std::string Edit7;
};

struct ModelData {
    std::vector<float> LayerDz;   // top layer first; regular layers, then the bottom boundary ones
    std::vector<float> LayerRho;  // one resistivity (ohm-m) per thickness
    std::vector<float> CellDx;    // boundary cells, regular cells, boundary cells
    std::vector<float> CellDy;
    std::vector<double> PickDepth;  // points picked on the layer chart, by ascending depth
    std::vector<double> PickRho;
    std::vector<double> BoundaryX;  // vertices of the boundary polygon in drawing order
    std::vector<double> BoundaryY;
    std::vector<float> TerrainX;  // terrain points; none selects the flat model
    std::vector<float> TerrainY;
    std::vector<float> TerrainZ;  // elevations, positive up
    int Tag = 0;                  // source length in whole metres

    int TerrainCount() const { return static_cast<int>(TerrainX.size()); }
};

// Messages of the model builder that the dialog shows.
extern const char* const kNoModelDataMessage;        // no point to build a template from
extern const char* const kTerrainLoadedMessage;      // terrain points were loaded
extern const char* const kNoTerrainPointMessage;     // the terrain file held no usable point
extern const char* const kNoLayerMessage;            // a model without layers is refused
extern const char* const kBadCellWidthMessage;       // a cell width that is not positive
extern const char* const kNoBackgroundLayerMessage;  // the background file held no usable layer
extern const char* const kNoLayerToSaveMessage;      // the background model to save has no layer
extern const char* const kNoBoundaryMessage;         // no boundary polygon was drawn

// A value truncated toward zero, as integer text ("-604.4" gives "-604", "-0.5" gives "0").
std::string TruncatedText(double value);
