// The key stations a road offers its callers: every station where something about the
// road changes, with the OR of the KEY_ flags that apply there, in ascending order.
// Entry numbers in the answers count from 1; stations compare exactly.
#pragma once

#include <cstdint>

#include "foundation/kernel/maths.h"
#include "roads/roadquorvel.h"

// One key station as the queries hand it out.
struct road_KeyStation {
    double Station = MATHS_Null;
    int32_t Flags = 0;
};

class ChainageList {
public:
    virtual ~ChainageList() = default;
    virtual void Clear() {}
    virtual double FirstStation() const { return MATHS_Null; }
    virtual double LastStation() const { return MATHS_Null; }
    virtual int32_t Count() const { return 0; }
    // The first entry after the record's station; an entry exactly at it that is not the
    // last makes the entry after it the answer.
    virtual bool Next(road_KeyStation* /*record*/) const { return false; }
    // The mirror image of Next.
    virtual bool Previous(road_KeyStation* /*record*/) const { return false; }
    // Entry n, 1 <= n <= Count.
    virtual bool Nth(int32_t /*n*/, road_KeyStation* /*record*/) const { return false; }
    // The pair of neighbouring entries around the station and the nearer of them (a tie
    // goes to the later one); an exact hit answers that entry three times. False outside
    // the list and for fewer than two entries.
    virtual bool Bracket(double /*station*/, int32_t* /*before*/, int32_t* /*after*/, int32_t* /*nearest*/) const {
        return false;
    }
};

class RxlChainageList : public ChainageList {
public:
    RxlChainageList() = default;
    RxlChainageList(const RxlChainageList& other) : ChainageList(), Entries(other.Entries), Filled(other.Filled) {}
    RxlChainageList& operator=(const RxlChainageList& other);
    ~RxlChainageList() override { RxlChainageList::Clear(); }

    void Clear() override;
    // Copies the stations and flags of the source in order and marks the list filled;
    // the source's bounds are not taken. Returns the source's count.
    int32_t Fill(const ChainageElementArray& source);
    bool IsFilled() const { return Filled; }

    double FirstStation() const override;
    double LastStation() const override;
    int32_t Count() const override { return Entries.Count(); }
    bool Next(road_KeyStation* record) const override;
    bool Previous(road_KeyStation* record) const override;
    bool Nth(int32_t n, road_KeyStation* record) const override;
    bool Bracket(double station, int32_t* before, int32_t* after, int32_t* nearest) const override;

private:
    // Entry n counted from 1.
    road_KeyStation Entry(int32_t n) const;

    ChainageElementArray Entries;
    bool Filled = false;
};
