// A registered comma-separated test index and helpers that fill it with named points,
// groups and shapes for selection tests.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "jobdb/dbobjects.h"
#include "jobdb/dbselection.h"
#include "jobdb/index_fixture.h"

class SelectionTest : public IndexTest {
protected:
    void SetUp() override {
        IndexTest::SetUp();
        ASSERT_EQ(index.Register(), 1);
    }
    void TearDown() override {
        index.Clear();
        IndexTest::TearDown();
    }

    // A point with its status bits and category worked out already.
    dbObjectRef Point(const char* name, uint32_t status = 0x4, uint32_t category = 1) {
        CSVPointObject* point = new CSVPointObject;
        point->SetName(name);
        dbFilterTriple triple;
        triple.Set(1, category, status);
        point->SetFilter(triple);
        point->SetFlags(DBOBJECT_StatusComputed);
        return index.AddObject(point);
    }
    // A point at a grid position (north, east), elevation null.
    dbObjectRef PointAt(const char* name, double north, double east) {
        const dbObjectRef ref = Point(name);
        static_cast<ObservationObject*>(index.GetObject(ref.GetSubscript()))
            ->SetCoordinates(coord_CorrectedGrid(north, east, MATHS_Null), false);
        return ref;
    }
    dbObjectRef Group(const char* name) { return index.AddObject(Loaded(new GroupObject(name, "", "", ""))); }
    // Shapes come complete: an index computes nothing for them.
    static dbObject* Loaded(dbObject* object) {
        object->SetFlags(DBOBJECT_HorizontalComputed | DBOBJECT_StatusComputed);
        return object;
    }

    static dbSelection Of(const std::vector<dbObjectRef>& refs) {
        dbSelection selection;
        for (const dbObjectRef& ref : refs) selection.AddItem(dbSelectionItem(ref));
        return selection;
    }
    static std::vector<int> Subscripts(const dbSelection& selection) {
        std::vector<int> subscripts;
        for (int i = 0; i < selection.GetItemCount(); ++i)
            subscripts.push_back(selection.GetReference(i).GetSubscript());
        return subscripts;
    }

    TestIndex index;
};
