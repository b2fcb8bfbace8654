// An index for tests, which counts how often it is asked to compute, and fixtures that
// fail a test leaving any index registered (the registry is process-wide).
#pragma once

#include <gtest/gtest.h>

#include <optional>

#include "jobdb/dbobjects.h"
#include "jobdb/job_fixture.h"
#include "support/recording_environment.h"

class TestIndex : public dbIndex {
public:
    explicit TestIndex(int fileType = CommaSeparatedFile) { _FileType = fileType; }

    Str GetFullPath() const override { return "test"; }
    Str GetFileName() const override { return "test"; }
    coord_Type GetCoordType() const override { return coordType; }
    Str GetTransformationName() const override { return "Site"; }
    dbSelection& GetNameSelection() override { return selection; }
    bool FindBestPoints(const char*, dbBestPointTable&, uint32_t&) override { return true; }
    // Stores `coordinates` when there are any; without, the object stays uncomputed.
    bool ComputeObject(dbObject* object) override {
        ++computeCalls;
        if (!coordinates) return false;
        if (ObservationObject* point = ObservationObject::Cast(object)) point->SetCoordinates(*coordinates, complete);
        else object->SetFlags(DBOBJECT_HorizontalComputed | DBOBJECT_StatusComputed);
        return true;
    }
    void ComputeStatusBits(dbObject* object) override {
        ++statusCalls;
        dbFilterTriple triple = object->GetFilter();
        triple.Status |= 0x4;
        object->SetFilter(triple);
        object->SetFlags(DBOBJECT_StatusComputed);
    }

    void SetFileType(int fileType) { _FileType = fileType; }
    // As if the index held that many objects, without making them.
    void SetObjectCount(int count) { _ObjectCount = count; }

    coord_Type coordType = COORD_GridType;
    std::optional<coord_CorrectedGrid> coordinates;
    bool complete = true;
    int computeCalls = 0;
    int statusCalls = 0;
    dbSelection selection;
};

inline void ExpectNothingRegistered(const char* when) {
    for (int number = 0; number < DBINDEX_IndexCount; ++number)
        EXPECT_EQ(dbObjectRef(number, 0).GetIndex(), nullptr) << "index " << number << " registered " << when;
}

class IndexTest : public ::testing::Test {
protected:
    void SetUp() override { ExpectNothingRegistered("before the test"); }
    void TearDown() override { ExpectNothingRegistered("after the test"); }

    RecordingEnvironment env;
};

// A job whose index is checked to be unregistered once the job is closed.
class JobIndexTest : public JobFileTest {
protected:
    void TearDown() override {
        JobFileTest::TearDown();
        ExpectNothingRegistered("once the job is closed");
    }

    dbAccess* Access() { return job.GetAccess(); }
};
