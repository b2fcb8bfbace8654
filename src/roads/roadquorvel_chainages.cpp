#include "roads/roadquorvel_chainages.h"

RxlChainageList& RxlChainageList::operator=(const RxlChainageList& other) {
    if (this == &other) return *this;
    Entries = other.Entries;
    Filled = other.Filled;
    return *this;
}

void RxlChainageList::Clear() {
    Entries.Clear();
    Filled = false;
}

int32_t RxlChainageList::Fill(const ChainageElementArray& source) {
    Clear();
    for (int32_t i = 0; i < source.Count(); ++i) {
        const ChainageElement* e = source.At(i);
        if (e) Entries.Add(new ChainageElement(e->Station, e->Flags));
    }
    Filled = true;
    return source.Count();
}

road_KeyStation RxlChainageList::Entry(int32_t n) const {
    road_KeyStation record;
    if (const ChainageElement* e = Entries.At(n - 1)) {
        record.Station = e->Station;
        record.Flags = e->Flags;
    }
    return record;
}

double RxlChainageList::FirstStation() const { return Count() > 0 ? Entry(1).Station : MATHS_Null; }

double RxlChainageList::LastStation() const { return Count() > 0 ? Entry(Count()).Station : MATHS_Null; }

bool RxlChainageList::Next(road_KeyStation* record) const {
    const int32_t n = Count();
    for (int32_t i = 1; i <= n; ++i) {
        const double station = Entry(i).Station;
        if (station > record->Station) {
            *record = Entry(i);
            return true;
        }
        if (station == record->Station && i < n) {
            *record = Entry(i + 1);
            return true;
        }
    }
    return false;
}

bool RxlChainageList::Previous(road_KeyStation* record) const {
    for (int32_t i = Count(); i >= 1; --i) {
        const double station = Entry(i).Station;
        if (station < record->Station) {
            *record = Entry(i);
            return true;
        }
        if (station == record->Station && i > 1) {
            *record = Entry(i - 1);
            return true;
        }
    }
    return false;
}

bool RxlChainageList::Nth(int32_t n, road_KeyStation* record) const {
    if (n < 1 || n > Count()) return false;
    *record = Entry(n);
    return true;
}

bool RxlChainageList::Bracket(double station, int32_t* before, int32_t* after, int32_t* nearest) const {
    for (int32_t i = 1; i < Count(); ++i) {
        const double low = Entry(i).Station;
        const double high = Entry(i + 1).Station;
        int32_t hit = 0;
        if (low == station) hit = i;
        else if (high == station) hit = i + 1;
        if (hit) {
            *before = *after = *nearest = hit;
            return true;
        }
        if (low < station && station < high) {
            *before = i;
            *after = i + 1;
            *nearest = maths_Subtract(high, station) > maths_Subtract(station, low) ? i : i + 1;
            return true;
        }
    }
    return false;
}
