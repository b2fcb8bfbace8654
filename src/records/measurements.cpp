#include "records/measurements.h"

#include "records/editactions.h"

void db_ECEFDeltas::ApplyDBIDAction(const db_DBID& action) { Antenna = action.Id; }

void db_ECEF::ApplyDBIDAction(const db_DBID& action) { Antenna = action.Id; }

void db_Circle::ApplyDBIDAction(const db_DBID& action) { Target = action.Id; }

void db_MeanTurnedAngle::ApplyDBIDAction(const db_DBID& action) { Target = action.Id; }
