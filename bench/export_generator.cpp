#include "export_generator.h"

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

std::string TimeStamp(int64_t n) {
    int seconds = static_cast<int>(n % 86400);
    char text[32];
    std::snprintf(text, sizeof text, "2024-05-%02dT%02d:%02d:%02d", 1 + static_cast<int>(n / 86400 % 28),
                  seconds / 3600, seconds / 60 % 60, seconds % 60);
    return text;
}

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

ExportSummary GenerateExport(std::FILE* out, const ExportOptions& options) {
    Writer w(out, options.oneLine);
    Random random(options.seed);
    ExportSummary summary;
    int64_t id = 1;
    int64_t time = 8 * 3600;

    w.Line(0, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
    w.Line(0, "<JOBFile jobName=\"Bench\" product=\"Field\" productVersion=\"12.45\" version=\"1245\">");
    w.Line(1, Open("DATABASE_JobHeaderRecord", id++, "db_JobHeader", time));
    w.Field(2, "JobName", "Bench");
    w.Field(2, "Reference", "Synthetic export");
    w.Field(2, "LinearUnits", "Metres");
    w.Field(2, "AngleUnits", "DMSDegrees");
    w.Line(1, "</DATABASE_JobHeaderRecord>");
    ++summary.records;

    int64_t station = 0;
    for (int64_t n = 0; w.Size() < options.bytes; ++n) {
        time += 1 + random.Below(30);
        const int kind = random.Below(20);
        if (n % 500 == 0 || kind == 0) {
            // A station set-up: a circle reading of the backsight.
            station = id;
            w.Line(1, Open("DATABASE_CircleRecord", id++, "db_Circle", time));
            w.Line(2, "<Circle>");
            w.Field(3, "HorizontalCircle", Number(random.Uniform(0, 6.283185307), 12));
            w.Field(3, "VerticalCircle", Number(random.Uniform(1.2, 1.9), 12));
            w.Field(3, "EDMDistance", Number(random.Uniform(2, 800), 4));
            w.Line(2, "</Circle>");
            w.Field(2, "Station", Id(station));
            w.Line(1, "</DATABASE_CircleRecord>");
        } else if (kind <= 2) {
            w.Line(1, Open("DATABASE_NoteRecord", id++, "db_Note", time));
            w.Field(2, "Note", kNotes[random.Below(4)]);
            w.Line(1, "</DATABASE_NoteRecord>");
        } else if (kind <= 4) {
            // A keyed-in point with grid coordinates.
            w.Line(1, Open("DATABASE_PointRecord", id++, "db_Point", time));
            w.Field(2, "PointName", std::string("K").append(std::to_string(n)));
            w.Field(2, "Derivation", "KI");
            w.Field(2, "Method", "KeyedInCoordinates");
            w.Field(2, "SurveyMethod", "Unknown");
            w.Field(2, "Classification", "Normal");
            w.Field(2, "Deleted", "false");
            w.Field(2, "Source", "");
            w.Line(2, Open("DATABASE_GridRecord", id++, "db_Grid", time));
            w.Line(3, "<Grid>");
            w.Field(4, "North", Number(random.Uniform(5000, 9000), 4));
            w.Field(4, "East", Number(random.Uniform(1000, 3000), 4));
            w.Field(4, "Elevation", Number(random.Uniform(20, 80), 4));
            w.Line(3, "</Grid>");
            w.Line(2, "</DATABASE_GridRecord>");
            w.Line(1, "</DATABASE_PointRecord>");
        } else {
            // A measured point: observation, feature code with attributes, nested polar.
            w.Line(1, Open("DATABASE_ObservationRecord", id++, "db_Observation", time));
            if (random.Below(8) == 0) w.Field(2, "Note", kNotes[random.Below(4)]);
            w.Field(2, "PointName", std::to_string(1000 + n));
            w.Field(2, "Derivation", "OB");
            w.Field(2, "Method", "MeasuredCoordinates");
            w.Field(2, "SurveyMethod", "TotalStation");
            w.Field(2, "Classification", "Normal");
            w.Field(2, "Deleted", "false");
            w.Line(2, "<Descriptions>");
            w.Field(3, "Description1", kCodes[random.Below(8)]);
            w.Field(3, "Description2", "");
            w.Line(2, "</Descriptions>");
            w.Field(2, "Source", "");
            w.Line(2, "<Features>");
            w.Line(3, std::string("<Feature Name=\"") + kCodes[random.Below(8)] + "\">");
            w.Line(4, "<Attribute Name=\"Height\" Type=\"Numeric\">" + Number(random.Uniform(0, 30), 2) +
                          "</Attribute>");
            w.Line(4, "<Attribute Name=\"Condition\" Type=\"List\">Good</Attribute>");
            w.Line(3, "</Feature>");
            w.Line(2, "</Features>");
            w.Line(2, Open("DATABASE_PolarRecord", id++, "db_Polar", time));
            w.Field(3, "SourcePoint", std::string("STN").append(std::to_string(station)));
            w.Line(3, "<Polar>");
            w.Field(4, "Azimuth", Number(random.Uniform(0, 6.283185307), 12));
            w.Field(4, "HDist", Number(random.Uniform(2, 800), 4));
            w.Field(4, "VDist", Number(random.Uniform(-20, 20), 4));
            w.Line(3, "</Polar>");
            w.Field(3, "CreatedView", "Grid Ground");
            w.Line(2, "</DATABASE_PolarRecord>");
            w.Line(1, "</DATABASE_ObservationRecord>");
        }
        ++summary.records;
    }
    w.Line(0, "</JOBFile>");
    w.Flush();
    summary.bytes = w.Size();
    return summary;
}
