// The averaged residuals, automatic entity names and local transformation elements.
//
//   "DATABASE_AverageResidualsRecord"                     db_AverageResiduals (147)
//   "DATABASE_AutoEntityNamesRecord"                      db_AutoEntityNames (148)
//   "DATABASE_LocalTransformationRecord"                  db_LocalTransformation (149)
//   "DATABASE_LineTransformationDefinitionRecord"         db_LineTransformationDefinition (150)
//   "DATABASE_LocalTransformationPointPairRecord"         db_LocalTransformationPointPair (151)
//   "DATABASE_LocalTransformationHelmertParametersRecord" db_LocalTransformationHelmertParameters (152)
//
// The groups "HorizontalParameters", "VerticalParameters", "Residuals" and
// "AngleResidual" are in every export; one that is absent reads as if each of its
// components were absent, and the element converts.
#pragma once

#include "import/writejob.h"

class xml_Element;
class db_AverageResidual;
class dbrecord_HelmertParameters;
class dbrecord_HelmertSolution;

// One residual of an averaged point: "ObservationID" (a reference the second pass
// resolves), "IncludedInAverageComputation" (required), the "GridResidual" deltas and
// the "AngleResidual" reading.
void writejob_ReadAverageResidual(const xml_Element* entry, db_AverageResidual& residual);
// The horizontal block under the named group: "Apply" (false when absent), "OriginNorth",
// "OriginEast", "Scale", "Rotation", "TranslationNorth", "TranslationEast" (0.0 when
// absent, Scale too) and the four standard errors (null when absent).
void writejob_ReadHelmertHorizontal(const xml_Element* element, writejob_ChildName groupName,
                                    dbrecord_HelmertParameters& block);
// The vertical block under the named group: "Apply" and "ConstantAdjustmentOnly" (false
// when absent), "OriginNorth", "OriginEast", "NorthAdjustment", "EastAdjustment",
// "ElevationAdjustment" (0.0 when absent) and the three standard errors (null when absent).
void writejob_ReadHelmertVertical(const xml_Element* element, writejob_ChildName groupName,
                                  dbrecord_HelmertSolution& block);
