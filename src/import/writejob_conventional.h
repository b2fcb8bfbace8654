// The conventional instrument record elements: survey styles, the instrument, the
// atmosphere, the station set-up and its back bearing, the targets, the laser
// rangefinder, and the offset measurements built from raw circle readings. Each
// element becomes one record; none opens an entity.
//
// The target and station elements set their height block's four values as read: a
// bottom-notch method without offset children keeps offsets 0. "TargetHeight" and
// "TheodoliteHt" are not stored; they only default the raw height.
//
// The instrument's three groups ("PortParam", "Precisions", "Radio") are read like
// the other groups: an absent group leaves its doubles null and its other values at
// the record's defaults, and the element converts.
#pragma once

#include "import/writejob.h"

struct rs232_Settings;
struct total_Precisions;
class db_TotalInstrument;

// "BaudRate" (int or hex), "DataBits", "StopBits" (int), "Parity", "FlowControl"
// (required enums).
void writejob_ReadPortParam(const xml_Element* element, writejob_ChildName groupName, rs232_Settings& value);
// "HAPrecision", "VAPrecision", "EDMPrecision", "EDMppm".
void writejob_ReadInstrumentPrecisions(const xml_Element* element, writejob_ChildName groupName,
                                       total_Precisions& value);
// "Channel", "StationAddress", "RemoteAddress" into the instrument's radio settings.
void writejob_ReadInstrumentRadio(const xml_Element* element, writejob_ChildName groupName,
                                  db_TotalInstrument& value);
