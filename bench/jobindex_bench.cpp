// The job index on a large job: a job of 10^6 point observations (names mostly unique,
// a few repeated 10^3 and 10^4 times), lines and targets, written without the index
// following, then reopened. Prints the time of Open (replay and build), the memory per
// object, look-ups per second (the best point and the position of a name through a fill
// that answers at once included), the time for every object's status and single-point
// transactions per second on the open job.
//   jobindex_bench [folder]
#include <malloc.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "jobdb/dbJob.h"
#include "jobdb/dbJobIndex.h"
#include "jobdb/dbRecordCalls.h"
#include "cogo/position.h"
#include "jobdb/dbobjects.h"
#include "records/conventional.h"
#include "records/entities.h"
#include "records/measurements.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

size_t HeapInUse() { return mallinfo2().uordblks; }

constexpr int kPoints = 1000000;
constexpr int kLines = 10000;
constexpr int kTargets = 1000;

// Point i's name: 2 names of 10^4 points, 20 of 10^3, the rest unique.
std::string Named(const char* prefix, int number) {
    char text[32];
    std::snprintf(text, sizeof text, "%s%d", prefix, number);
    return text;
}

std::string PointName(int i) {
    if (i % 50 == 0) return Named("BIG", i / 50 % 2);
    if (i % 50 == 1) return Named("MID", i / 50 % 20);
    return Named("P", i);
}

void AppendPoint(dbAccess* access, const std::string& name, int method) {
    db_Observation point;
    point.PointName = name.c_str();
    point.Method = method;
    point.Classification = db_PointClassification(dbentity_Classification(db_PointClassification::Normal));
    db_WGS84 wgs;
    access->BeginGroupNested();
    const DBID id = dbRecord_Append(access, &point);
    access->AddAction(DBMODEL_Apply, id, &wgs);
    access->EndGroupNested();
}

}  // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : "/tmp";
    const std::string path = folder + "/jobindex_bench.job";
    std::remove(path.c_str());
    {
        JobDatabase job;
        if (!job.Create(Str(path.c_str()), "Bench", true)) return 1;
        job.GetAccess()->SetAutoGroup();
        const auto start = Clock::now();
        for (int i = 0; i < kPoints; ++i) {
            AppendPoint(job.GetAccess(), PointName(i), i % 7 == 0 ? DBENTITY_Coordinates : DBENTITY_GpsRTKCtrlPoint);
            if (i % (kPoints / kLines) == 0) {
                db_Line line;
                line.LineId = Named("L", i).c_str();
                line.OriginPoint = PointName(i).c_str();
                line.TargetPoint = PointName(i + 2).c_str();
                dbRecord_Append(job.GetAccess(), &line);
            }
            if (i % (kPoints / kTargets) == 0) {
                db_Target target;
                target.Name = Named("T", i / (kPoints / kTargets) % 100).c_str();
                dbRecord_Append(job.GetAccess(), &target);
            }
            if (i % 100000 == 0) job.GetAccess()->PurgeSuperseded();
        }
        job.Close();
        std::printf("written: %d points, %d lines, %d targets in %.2f s\n", kPoints, kLines, kTargets, Seconds(start));
    }

    JobDatabase job;
    auto start = Clock::now();
    if (!job.Open(Str(path.c_str()), true)) return 1;
    const double open = Seconds(start);
    dbJobIndex* index = job.GetJobIndex();
    const int objects = index->GetObjectCount();

    // The build alone, on a second index of the same job.
    const size_t before = HeapInUse();
    start = Clock::now();
    auto* second = new dbJobIndex;
    second->Reset();
    second->AttachJob(&job);
    const double build = Seconds(start);
    const size_t bytes = HeapInUse() - before;
    second->Database = nullptr;
    second->Clear();
    delete second;
    std::printf("Open %.2f s = replay %.2f s + Build %.2f s; %d objects, %.1f bytes per object\n", open,
                open - build, build, objects, static_cast<double>(bytes) / objects);

    std::mt19937 random(7);
    constexpr int kLookups = 200000;
    std::vector<DBID> ids;
    std::vector<std::string> names;
    for (int i = 0; i < kLookups; ++i) {
        ids.push_back(DBID(static_cast<uint32_t>(1 + random() % (2 * kPoints))));
        names.push_back(PointName(static_cast<int>(random() % kPoints)));
    }
    auto rate = [&](const char* what, auto&& call) {
        const auto begin = Clock::now();
        size_t found = 0;
        for (int i = 0; i < kLookups; ++i) found += call(i);
        std::printf("%-20s %10.0f /s (%zu found)\n", what, kLookups / Seconds(begin), found);
    };
    rate("FindByRecordId", [&](int i) { return !index->FindByRecordId(ids[i]).IsNull(); });
    dbSelection selection;
    rate("SelectByName", [&](int i) { return index->SelectByName(names[i].c_str(), 2, selection); });
    rate("FindTargetRecord", [&](int i) {
        return index->FindTargetRecord(Str(Named("T", i % 150).c_str())) != nullptr;
    });
    rate("FindPointReference", [&](int i) { return !index->FindPointReference(names[i].c_str()).IsNull(); });
    rate("FindBestPointObject", [&](int i) { return index->FindBestPointObject(names[i].c_str()) != nullptr; });
    // The look-up alone: the fill answers without computing anything.
    dbJobIndex_CoordinateGeometry geometry = dbJobIndex_GetCoordinateGeometry();
    geometry.FillFromRecordId = [](position_Class*, dbIndex*, DBID id) { return id != NODBID; };
    dbJobIndex_SetCoordinateGeometry(&geometry);
    position_Class position;
    std::vector<Str> texts;
    for (const std::string& name : names) texts.emplace_back(name.c_str());
    rate("PositionOfName", [&](int i) { return dbJobIndex_PositionOfName(index, texts[i], position); });

    index->ClearComputedFlags();
    start = Clock::now();
    uint64_t sum = 0;
    for (int s = 0; s < objects; ++s)
        if (dbObject* object = index->GetObject(s)) sum += object->GetStatusBits();
    std::printf("status of every object: %.2f s (%llu)\n", Seconds(start), static_cast<unsigned long long>(sum));

    constexpr int kTransactions = 2000;
    start = Clock::now();
    for (int i = 0; i < kTransactions; ++i) AppendPoint(job.GetAccess(), PointName(i * 37), DBENTITY_GpsRTKCtrlPoint);
    std::printf("single-point transactions: %.0f /s\n", kTransactions / Seconds(start));
    job.Close();
    std::remove(path.c_str());
    return 0;
}
