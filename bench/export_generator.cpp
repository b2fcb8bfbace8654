#include "export_generator.h"

#include <cstdlib>
#include <string>

namespace {

// A small deterministic generator, so the same seed gives the same export everywhere.
class Random {
public:
    explicit Random(uint32_t seed) : _state(seed * 2654435761u + 1) {}
    uint32_t Next() {
        _state ^= _state << 13;
        _state ^= _state >> 7;
        _state ^= _state << 17;
        return static_cast<uint32_t>(_state);
    }
    int Below(int n) { return static_cast<int>(Next() % static_cast<uint32_t>(n)); }
    double Uniform(double low, double high) { return low + (high - low) * (Next() % 1000000007u) / 1000000007.0; }

private:
    uint64_t _state;
};

class Writer {
public:
    Writer(std::FILE* out, bool oneLine) : _out(out), _oneLine(oneLine) {}

    void Line(int indent, const std::string& text) {
        if (!_oneLine) _buffer.append(static_cast<size_t>(indent) * 2, ' ');
        _buffer += text;
        if (!_oneLine) _buffer += '\n';
        if (_buffer.size() > (1 << 16)) Flush();
    }
    void Field(int indent, const char* name, const std::string& value) {
        Line(indent, std::string("<") + name + ">" + value + "</" + name + ">");
    }
    void Flush() {
        std::fwrite(_buffer.data(), 1, _buffer.size(), _out);
        _written += static_cast<int64_t>(_buffer.size());
        _buffer.clear();
    }
    int64_t Size() const { return _written + static_cast<int64_t>(_buffer.size()); }

private:
    std::FILE* _out;
    bool _oneLine;
    std::string _buffer;
    int64_t _written = 0;
};

std::string Number(double x, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, x);
    return text;
}

std::string Id(int64_t id) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%08llx", static_cast<long long>(id));
    return text;
}

// Seconds since 1980, as the export writes record times.
std::string TimeStamp(int64_t n) { return std::to_string(1400000000 + n); }

std::string Open(const char* name, int64_t id, const char* rec, int64_t time) {
    return std::string("<") + name + " ID=\"" + Id(id) + "\" rec=\"" + rec + "\" TimeStamp=\"" + TimeStamp(time) +
           "\">";
}

const char* const kCodes[] = {"TREE", "FENCE", "KERB", "LIGHTPOLE", "MANHOLE", "EDGE", "BUILDING", "SIGN"};
const char* const kNotes[] = {
    "Checked against control; within tolerance.",
    "Target obstructed by vehicle &amp; re-observed.",
    "Caf&#233; corner, north-east side",
    "Height to top of \"kerb\" &lt;approx&gt;",
};

}  // namespace

namespace {

// The children every point element starts with.
void PointHead(Writer& w, const std::string& name, const char* derivation, const char* method,
               const char* surveyMethod) {
    w.Field(2, "PointName", name);
    w.Field(2, "Derivation", derivation);
    w.Field(2, "Method", method);
    w.Field(2, "SurveyMethod", surveyMethod);
    w.Field(2, "Classification", "Normal");
    w.Field(2, "Deleted", "false");
}

void Features(Writer& w, Random& random) {
    w.Line(2, "<DATABASE_FeaturesRecord FeatureCount=\"1\" rec=\"FeatureArray\">");
    w.Line(3, std::string("<Feature Name=\"") + kCodes[random.Below(8)] + "\" AttributeCount=\"2\">");
    w.Line(4, "<Attribute Name=\"Height\" Type=\"Numerical\" Value=\"" + Number(random.Uniform(0, 30), 2) + "\"/>");
    w.Line(4, "<Attribute Name=\"Condition\" Type=\"Menu\" ItemIndex=\"0\" Item=\"Good\"/>");
    w.Line(3, "</Feature>");
    w.Line(2, "</DATABASE_FeaturesRecord>");
}

void Circle(Writer& w, Random& random, int indent, const char* group) {
    w.Line(indent, std::string("<") + group + ">");
    w.Field(indent + 1, "HorzCircle", Number(random.Uniform(0, 6.283185307), 12));
    w.Field(indent + 1, "VertCircle", Number(random.Uniform(1.2, 1.9), 12));
    w.Field(indent + 1, "EDMDistance", Number(random.Uniform(2, 800), 4));
    w.Field(indent + 1, "Face", random.Below(2) ? "COORD_Face1" : "COORD_Face2");
    w.Field(indent + 1, "HorzCircleStdErr", "0.0000048");
    w.Field(indent + 1, "VertCircleStdErr", "0.0000048");
    w.Field(indent + 1, "EDMDistanceStdErr", "0.002");
    w.Line(indent, std::string("</") + group + ">");
}

void Triple(Writer& w, Random& random, int indent, const char* group, const char* const names[3], double low,
            double high, int decimals) {
    w.Line(indent, std::string("<") + group + ">");
    for (int i = 0; i < 3; ++i) w.Field(indent + 1, names[i], Number(random.Uniform(low, high), decimals));
    w.Line(indent, std::string("</") + group + ">");
}

}  // namespace

ExportSummary GenerateExport(std::FILE* out, const ExportOptions& options) {
    Writer w(out, options.oneLine);
    Random random(options.seed);
    ExportSummary summary;
    int64_t id = 1;
    int64_t time = 8 * 3600;
    static const char* const kLatLongHeight[] = {"Lat", "Long", "Height"};
    static const char* const kNorthEastElev[] = {"North", "East", "Elev"};

    w.Line(0, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
    w.Line(0, "<JOBFile jobName=\"Bench\" product=\"Quorvel Zentrovane\" productVersion=\"12.45\" version=\"1245\">");
    w.Line(1, Open("DATABASE_JobHeaderRecord", id++, "db_JobHeader", time) + "Bench");
    w.Field(2, "Note", "Synthetic export");
    w.Line(1, "</DATABASE_JobHeaderRecord>");
    ++summary.records;

    // Every point element is followed by its end entity, so measurements always have
    // their observation open and notes between points are records of their own.
    int64_t station = 0;
    for (int64_t n = 0; w.Size() < options.bytes; ++n) {
        time += 1 + random.Below(30);
        int kind = random.Below(20);
        // Measured points (with descriptions), laser offsets and GNSS points, 3 : 1 : 1.
        if (options.mix == ExportMix::Observations) kind = kind < 12 ? 8 : kind < 16 ? 7 : 5;
        const std::string name = std::to_string(1000 + n);
        if (options.mix == ExportMix::Dense) {
            // A keyed-in point with its grid record, or a bare GNSS observation.
            const bool keyed = random.Below(2) == 0;
            w.Line(1, Open(keyed ? "DATABASE_PointRecord" : "DATABASE_ObservationRecord", id++,
                           keyed ? "db_Point" : "db_Observation", time));
            PointHead(w, (keyed ? "K" : "G") + name, keyed ? "KI" : "GN", "DBENTITY_Coordinates",
                      keyed ? "DBENTITY_KeyedIn" : "DBENTITY_Fix");
            if (keyed) {
                w.Line(1, "</DATABASE_PointRecord>");
                w.Line(1, Open("DATABASE_GridRecord", id++, "db_Grid", time));
                Triple(w, random, 2, "Grid", kNorthEastElev, 1000, 9000, 3);
                w.Line(1, "</DATABASE_GridRecord>");
                summary.records += 2;
                continue;
            }
            w.Line(2, Open("DATABASE_WGS84Record", id++, "db_WGS84", time));
            Triple(w, random, 3, "WGS84", kLatLongHeight, 0.5, 0.9, 10);
            w.Line(2, "</DATABASE_WGS84Record>");
            w.Line(1, "</DATABASE_ObservationRecord>");
            kind = -1;
        }
        if (kind < 0) {
            // Written above.
        } else if (n % 500 == 0 || kind == 0) {
            // A station set-up: an observation of the station with a circle reading.
            const int64_t previous = station;
            station = id;
            w.Line(1, Open("DATABASE_ObservationRecord", id++, "db_Observation", time));
            PointHead(w, "STN" + name, "OB", "DBENTITY_Coordinates", "DBENTITY_Fix");
            w.Line(2, Open("DATABASE_CircleRecord", id++, "db_Circle", time));
            Circle(w, random, 3, "Circle");
            if (previous) w.Field(3, "Station", Id(previous));
            w.Line(2, "</DATABASE_CircleRecord>");
            w.Line(1, "</DATABASE_ObservationRecord>");
        } else if (kind <= 2) {
            w.Line(1, Open("DATABASE_NoteRecord", id++, "db_Note", time));
            w.Field(2, "Note", kNotes[random.Below(4)]);
            w.Line(1, "</DATABASE_NoteRecord>");
            ++summary.records;
            continue;
        } else if (kind <= 4) {
            // A keyed-in point with grid coordinates.
            w.Line(1, Open("DATABASE_PointRecord", id++, "db_Point", time));
            PointHead(w, "K" + name, "KI", "DBENTITY_Coordinates", "DBENTITY_KeyedIn");
            w.Field(2, "Source", "");
            w.Line(1, "</DATABASE_PointRecord>");
            w.Line(1, Open("DATABASE_GridRecord", id++, "db_Grid", time));
            Triple(w, random, 2, "Grid", kNorthEastElev, 1000, 9000, 4);
            w.Line(1, "</DATABASE_GridRecord>");
            ++summary.records;
        } else if (kind == 5) {
            // A GNSS point: WGS-84 position, or earth-centred coordinates with an antenna.
            w.Line(1, Open("DATABASE_ObservationRecord", id++, "db_Observation", time));
            PointHead(w, "G" + name, "GN", "DBENTITY_Coordinates", "DBENTITY_Fix");
            Features(w, random);
            if (random.Below(2)) {
                w.Line(2, Open("DATABASE_WGS84Record", id++, "db_WGS84", time));
                Triple(w, random, 3, "WGS84", kLatLongHeight, 0.5, 0.9, 12);
                w.Line(2, "</DATABASE_WGS84Record>");
            } else {
                w.Line(2, Open("DATABASE_ECEFDeltasRecord", id++, "db_ECEFDeltas", time));
                static const char* const kDeltas[] = {"dX", "dY", "dZ"};
                Triple(w, random, 3, "ECEFDeltas", kDeltas, -500, 500, 4);
                w.Field(3, "Reference", Id(station));
                w.Line(2, "</DATABASE_ECEFDeltasRecord>");
            }
            w.Line(1, "</DATABASE_ObservationRecord>");
        } else if (kind == 6) {
            // A mean turned angle with its residuals, then a distance-offset shot.
            const int64_t observation = id;
            w.Line(1, Open("DATABASE_ObservationRecord", id++, "db_Observation", time));
            PointHead(w, "M" + name, "MT", "DBENTITY_Coordinates", "DBENTITY_Fix");
            w.Line(2, Open("DATABASE_MeanTurnedAngleRecord", id++, "db_MeanTurnedAngle", time));
            w.Line(3, "<MTA>");
            w.Field(4, "HorzCircle", Number(random.Uniform(0, 6.283185307), 12));
            w.Field(4, "VertCircle", Number(random.Uniform(1.2, 1.9), 12));
            w.Field(4, "EDMDistance", Number(random.Uniform(2, 800), 4));
            w.Field(4, "NumberOfHAngles", "4");
            w.Field(4, "NumberOfVAngles", "4");
            w.Field(4, "NumberOfDistances", "4");
            w.Line(3, "</MTA>");
            w.Field(3, "Station", Id(station));
            w.Line(2, "</DATABASE_MeanTurnedAngleRecord>");
            w.Line(1, "</DATABASE_ObservationRecord>");
            w.Line(1, Open("DATABASE_MeanTurnedAngleResidualsRecord", id++, "db_MeanTurnedAngleResiduals", time));
            w.Field(2, "PointName", "M" + name);
            w.Field(2, "HorzAngResidual", Number(random.Uniform(-1e-5, 1e-5), 9));
            w.Field(2, "VertAngResidual", Number(random.Uniform(-1e-5, 1e-5), 9));
            w.Field(2, "SlopeDistResidual", Number(random.Uniform(-0.002, 0.002), 5));
            w.Field(2, "Observation", Id(observation));
            w.Field(2, "MeanTurnedAngle", Id(observation + 1));
            w.Line(1, "</DATABASE_MeanTurnedAngleResidualsRecord>");
            summary.records += 2;
        } else if (kind == 7) {
            // A laser offset, qualified by a distance offset.
            w.Line(1, Open("DATABASE_ObservationRecord", id++, "db_Observation", time));
            PointHead(w, "L" + name, "LO", "DBENTITY_Coordinates", "DBENTITY_Fix");
            Features(w, random);
            w.Line(2, Open("DATABASE_LaserOffsetRecord", id++, "db_LaserOffset", time));
            w.Line(3, "<LaserOffset>");
            w.Field(4, "Azimuth", Number(random.Uniform(0, 6.283185307), 12));
            w.Field(4, "VertAngle", Number(random.Uniform(1.2, 1.9), 12));
            w.Field(4, "SlopeDist", Number(random.Uniform(2, 300), 4));
            w.Line(3, "</LaserOffset>");
            w.Field(3, "BasePoint", Id(station));
            w.Line(2, "</DATABASE_LaserOffsetRecord>");
            w.Line(1, "</DATABASE_ObservationRecord>");
            w.Line(1, Open("DATABASE_DistanceOffsetRecord", id++, "db_DistanceOffset", time));
            Circle(w, random, 2, "RawObservation");
            w.Field(2, "LeftRightOffset", Number(random.Uniform(-2, 2), 3));
            w.Field(2, "InOutOffset", "0");
            w.Field(2, "DownUpOffset", "0");
            w.Line(1, "</DATABASE_DistanceOffsetRecord>");
            ++summary.records;
        } else {
            // A measured point: observation, feature code with attributes, nested polar.
            w.Line(1, Open("DATABASE_ObservationRecord", id++, "db_Observation", time));
            if (random.Below(8) == 0) w.Field(2, "Note", kNotes[random.Below(4)]);
            PointHead(w, name, "OB", "DBENTITY_Coordinates", "DBENTITY_Fix");
            w.Line(2, "<Descriptions>");
            w.Field(3, "Description1", kCodes[random.Below(8)]);
            w.Field(3, "Description2", "");
            w.Line(2, "</Descriptions>");
            w.Field(2, "Source", "");
            Features(w, random);
            w.Line(2, Open("DATABASE_PolarRecord", id++, "db_Polar", time));
            w.Field(3, "SourcePoint", "STN" + std::to_string(station));
            w.Line(3, "<Polar>");
            w.Field(4, "Azimuth", Number(random.Uniform(0, 6.283185307), 12));
            w.Field(4, "HDist", Number(random.Uniform(2, 800), 4));
            w.Field(4, "VDist", Number(random.Uniform(-20, 20), 4));
            w.Line(3, "</Polar>");
            w.Field(3, "CreatedView", "COORDSYS_CogoAzimuthGrid COORDSYS_CogoDistanceGrid");
            w.Line(2, "</DATABASE_PolarRecord>");
            w.Line(1, "</DATABASE_ObservationRecord>");
        }
        w.Line(1, Open("DATABASE_EndEntityRecord", id++, "db_EndEntity", time) + "</DATABASE_EndEntityRecord>");
        summary.records += 2;
    }
    w.Line(0, "</JOBFile>");
    w.Flush();
    summary.bytes = w.Size();
    return summary;
}

std::string BenchTempFolder() {
    const char* tmp = std::getenv("TMPDIR");
    return tmp && *tmp ? tmp : "/tmp";
}

int64_t BenchFileSize(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return 0;
    std::fseek(f, 0, SEEK_END);
    const long size = std::ftell(f);
    std::fclose(f);
    return size;
}
