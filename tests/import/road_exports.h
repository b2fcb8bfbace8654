// Road definitions as exports hold them, and the horizontal geometry they describe,
// computed independently: straights and arcs in closed form, clothoids by quadrature of
// the Fresnel integrals (mpmath, 30 digits).
#pragma once

#include <string>

namespace road_exports {

// End station, north, east and end azimuth of each element after the start point.
struct End {
    double station, north, east, azimuth;
};
// Start (1000, 2000) at azimuth 0.5, station 0: straight 100; clockwise entry spiral 40
// to radius 200; arc 200 of length 50; exit spiral 40; straight 60.
constexpr End kMainEnds[] = {
    {100, 1087.7582561890373, 2047.9425538604203, 0.5},
    {140, 1122.1876940089793, 2068.2696818147385, 0.6},
    {190, 1159.5152803580308, 2101.3401756196777, 0.85},
    {230, 1183.8431269538304, 2133.0692506058749, 0.95},
    {290, 1218.7441123216634, 2181.8741808932374, 0.95},
};
// The same with south azimuths or grid orientation 1: turned by pi about the start.
constexpr End kSouthEnds[] = {
    {100, 912.2417438109627, 1952.0574461395797, 0.5},
    {140, 877.8123059910207, 1931.7303181852615, 0.6},
    {190, 840.4847196419692, 1898.6598243803223, 0.85},
    {230, 816.1568730461696, 1866.9307493941251, 0.95},
    {290, 781.2558876783366, 1818.1258191067626, 0.95},
};
constexpr double kClosedFormTolerance = 1e-8;
constexpr double kClothoidTolerance = 1e-6;

// The main alignment after a corrections element: south azimuths turn every direction
// by pi; so does grid orientation 1, which flips both axes of the plane the geometry
// runs in while the azimuths stay as keyed; both together cancel.
inline std::string MainAlignment() {
    return "<DATABASE_HorzHeaderRecord ID=\"0x30\"><Coordinate><North>1000</North><East>2000</East></Coordinate>"
           "<Azimuth>0.5</Azimuth><StartChainage>0</StartChainage></DATABASE_HorzHeaderRecord>"
           "<DATABASE_HorzStraightRecord><Distance>100</Distance><Azimuth>0.5</Azimuth></DATABASE_HorzStraightRecord>"
           "<DATABASE_HorzSpiralRecord><EntrySpiral>true</EntrySpiral><Length>40</Length><Radius>200</Radius>"
           "<ClockwiseSpiral>true</ClockwiseSpiral></DATABASE_HorzSpiralRecord>"
           "<DATABASE_HorzArcRadLenRecord><ClockwiseAngle>true</ClockwiseAngle><Azimuth>0.6</Azimuth>"
           "<Length>50</Length><Radius>200</Radius></DATABASE_HorzArcRadLenRecord>"
           "<DATABASE_HorzSpiralRecord><EntrySpiral>false</EntrySpiral><Length>40</Length><Radius>200</Radius>"
           "<ClockwiseSpiral>true</ClockwiseSpiral></DATABASE_HorzSpiralRecord>"
           "<DATABASE_HorzStraightRecord><Distance>60</Distance><Azimuth>0.95</Azimuth></DATABASE_HorzStraightRecord>"
           "<DATABASE_EndEntityRecord rec=\"db_EndEntity\"/>";
}
inline std::string Corrections(const char* south, const char* orientation) {
    return std::string("<DATABASE_CorrectionsRecord ID=\"0x10\" rec=\"db_Corrections\" TimeStamp=\"2\"><Corrections>"
                       "<SouthAzimuth>") +
           south + "</SouthAzimuth><GridOrientation>" + orientation +
           "</GridOrientation><MagneticDeclination>0</MagneticDeclination><Distances>COORDSYS_GridDistance</Distances>"
           "<SubDivideCode>COORDSYS_UseName</SubDivideCode><NeighbourhoodAdjustment>false</NeighbourhoodAdjustment>"
           "</Corrections></DATABASE_CorrectionsRecord>";
}

}  // namespace road_exports
