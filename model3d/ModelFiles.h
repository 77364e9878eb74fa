#pragma once
// The files of a 3-D inversion start: the model (".m"), its covariance (".cov"), the background
// model (".pri") and the boundary polygon (".bln"). Each writer replaces the extension of the
// chosen name by its own and streams the file into a temporary that replaces the old one only
// when it is whole, so an error on the way leaves no half-written file. The model writers return
// false, writing nothing, when the file cannot be created.
#include <string>
#include <vector>

#include "base/FileName.h"
#include "base/SafeFile.h"
#include "model3d/ModelData.h"
#include "model3d/Terrain.h"
#include "survey/Records.h"

// The file texts, lines ending in CR LF. The terrain forms take the column values of
// ComputeColumnValues. The writers that take progress report the work of those values and then
// of their texts on one scale, the last time once every text is written, just before the files
// replace the old ones; a stop at any report (TerrainCancelled) leaves every file as it was.
std::string ModelFlatText(const ModelSettings& settings, const ModelData& data);
std::string ModelTopoText(const ModelSettings& settings, const ModelData& data,
                          const std::vector<float>& columns);
std::string CovarianceFlatText(const ModelSettings& settings, const ModelData& data);
std::string CovarianceTopoText(const ModelSettings& settings, const ModelData& data,
                               const std::vector<float>& columns);
std::string BackgroundModelText(const std::vector<TxData>& transmitters,
                                const ModelSettings& settings, const ModelData& data);
std::string BoundaryText(const ModelData& data);
void BackgroundModelText(TextSink& text, const std::vector<TxData>& transmitters,
                         const ModelSettings& settings, const ModelData& data);
void BoundaryText(TextSink& text, const ModelData& data);

bool WriteModelFlat(const ModelSettings& settings, const ModelData& data,
                    const std::string& fileName);
bool WriteModelTopo(const ModelSettings& settings, const ModelData& data,
                    const std::string& fileName, const TerrainProgress& progress = {});
bool WriteCovarianceFlat(const ModelSettings& settings, const ModelData& data,
                         const std::string& fileName);
bool WriteCovarianceTopo(const ModelSettings& settings, const ModelData& data,
                         const std::string& fileName, const TerrainProgress& progress = {});

// True when every cell width and layer thickness is a positive finite number.
bool MeshWidthsUsable(const ModelData& data);

// The model and covariance files, in the terrain form when there are terrain points, replaced
// together: when one of them cannot be written neither is replaced. A model without layers is
// refused with kNoLayerMessage, a cell width or layer thickness that is not a positive finite
// number with kBadCellWidthMessage (Exceptions), before any file is written; an origin or
// rotation text that is not a number raises the conversion error just as early. Returns the
// files that could not be written (none when all were replaced) and, where a rename failed after
// another one succeeded, those already replaced.
FileSetOutcome WriteModelFiles(const ModelSettings& settings, const ModelData& data,
                               const std::string& fileName, const TerrainProgress& progress = {});

// "创建模型": the model, covariance and background model files, replaced together in the same
// way; a source edit that is not a number raises the conversion error before any file is written.
FileSetOutcome WriteModelFileSet(const std::vector<TxData>& transmitters,
                                 const ModelSettings& settings, const ModelData& data,
                                 const std::string& fileName, const TerrainProgress& progress = {});

// The background model file; the source comes from the first transmitter, or from the source
// edits and the dialog's source length when there is none. False when it cannot be created.
bool WriteBackgroundModel(const std::vector<TxData>& transmitters, const ModelSettings& settings,
                          const ModelData& data, const std::string& fileName);

// The boundary file: "Cannot create file %s" when it cannot be written.
void SaveBoundaryBln(const ModelData& data, const std::string& fileName);
