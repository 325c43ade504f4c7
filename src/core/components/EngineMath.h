#pragma once

// Engine arithmetic shared by the document and the calculators. Float
// arguments, computed in extended precision, float results.

// Swept volume of one cylinder, cubic centimetres, from bore and stroke in inches.
float CylinderVolume(float boreIn, float strokeIn);
// Clearance volume of a cylinder for a compression ratio above 1.
float CombustionVolume(float cylinderVolumeCc, float compressionRatio);
// Compression ratio from swept and (non-zero) combustion volume.
float CompressionRatioOf(float cylinderVolumeCc, float combustionVolumeCc);
// Flow through a restriction at a new pressure drop: flow * sqrt(new / known).
float FlowAtPressure(float flow, float knownPressure, float newPressure);
