// The second pass over tunnel points: a job of 200,000 records holding 1,000 tunnel
// lists of 10 points each, among point observations and echo soundings. Each point's
// observation reference is resolved and the point written back at its own id; the job
// model finds each point by its id, so the pass costs the same per point however many
// records and lists the job holds. Only FixDatabasePointers is timed; building the job
// through the element handlers is not.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>

#include "export_generator.h"
#include "foundation/xml/element.h"
#include "import/writejob.h"
#include "jobdb/dbJob.h"
#include "jobdb/dbaccess.h"

namespace {

constexpr int kLists = 1000;
constexpr int kPointsPerList = 10;
constexpr int kObservationsPerList = 9;
constexpr int kSoundingsPerList = 180;  // 200 records per list in all

std::string Hex(uint32_t id) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%x", id);
    return text;
}

xml_Element* Element(const char* name, uint32_t id, const char* rec) {
    auto* element = new xml_Element(name);
    element->AddAttribute(new xml_Attribute(Str("ID"), Str(Hex(id).c_str())));
    element->AddAttribute(new xml_Attribute(Str("rec"), Str(rec)));
    return element;
}

void Child(xml_Element* parent, const char* name, const std::string& text) {
    parent->AddChild(new xml_Element(name, Str(text.c_str())));
}

// Stores the records through the handlers, as a conversion does.
void BuildJob(JobWriter& writer) {
    uint32_t id = 0x10;
    for (int list = 0; list < kLists; ++list) {
        const uint32_t firstObservation = id;
        for (int i = 0; i < kObservationsPerList; ++i) {
            std::unique_ptr<xml_Element> point(Element("DATABASE_PointRecord", id++, "db_Point"));
            std::string name = std::to_string(id);
            name.insert(name.begin(), 'P');
            Child(point.get(), "PointName", name);
            Child(point.get(), "Method", "DBENTITY_Coordinates");
            Child(point.get(), "SurveyMethod", "DBENTITY_Fix");
            Child(point.get(), "Classification", "Normal");
            Child(point.get(), "Deleted", "false");
            writer.WriteElement(point.get());
        }
        std::unique_ptr<xml_Element> tunnel(Element("DATABASE_TunnelXSPointsRecord", id++, "db_TunnelXSPoints"));
        Child(tunnel.get(), "TunnelName", "T");
        Child(tunnel.get(), "Station", std::to_string(list));
        for (int i = 0; i < kPointsPerList; ++i) {
            xml_Element* point = Element("DATABASE_TunnelPointDeltaRecord", id++, "db_TunnelPointDelta");
            Child(point, "Observation", Hex(firstObservation + static_cast<uint32_t>(i % kObservationsPerList)));
            Child(point, "Delta", "0.01");
            tunnel->AddChild(point);
        }
        writer.WriteElement(tunnel.get());
        for (int i = 0; i < kSoundingsPerList; ++i) {
            std::unique_ptr<xml_Element> sounding(Element("DATABASE_EchoSoundingRecord", id++, "db_EchoSounding"));
            Child(sounding.get(), "Depth", "12.5");
            writer.WriteElement(sounding.get());
        }
    }
}

void BM_TunnelSecondPass(benchmark::State& state) {
    const std::string path = BenchTempFolder() + "/qz_bench_tunnels.job";
    for (auto _ : state) {
        state.PauseTiming();
        std::remove(path.c_str());
        JobDatabase job;
        if (!job.Create(Str(path.c_str()), Str("Tunnels"), true)) {
            state.SkipWithError("cannot create the job");
            return;
        }
        job.GetAccess()->SetAutoGroup();
        {
            JobWriter writer(&job, Str("Quorvel Zentrovane"), 1245);
            BuildJob(writer);
            state.ResumeTiming();
            writer.FixDatabasePointers();
            state.PauseTiming();
        }
        job.Close();
        std::remove(path.c_str());
        state.ResumeTiming();
    }
    state.counters["points/s"] =
        benchmark::Counter(double(kLists * kPointsPerList) * double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["records"] = kLists * (kObservationsPerList + 1 + kPointsPerList + kSoundingsPerList);
}

}  // namespace

BENCHMARK(BM_TunnelSecondPass)->Unit(benchmark::kMillisecond)->Iterations(3);
