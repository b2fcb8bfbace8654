// xml_ReadAhead: the elements of an open xml_ElementReader read on a thread of their own,
// up to a bounded number ahead of the caller, so that tokenising runs beside the
// caller's work on the elements before.
//
// The caller sees what the reader would give it one element at a time: the same trees
// in the same order, the percent the reader had just after each, and whatever the
// reader threw, thrown again when the caller reaches the element where it was thrown.
// Trees go back through Recycle as to the reader. While the thread runs the reader is
// its alone; Stop (or the destructor) ends the thread and hands the reader back.
#pragma once

#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

class xml_Element;
class xml_ElementReader;

class xml_ReadAhead {
public:
    // The reader must be open, below the elements it holds.
    explicit xml_ReadAhead(xml_ElementReader& reader);
    ~xml_ReadAhead() { Stop(); }
    xml_ReadAhead(const xml_ReadAhead&) = delete;
    xml_ReadAhead& operator=(const xml_ReadAhead&) = delete;

    // As xml_ElementReader::ReadElement; null for good once the reader's last element
    // (null) or its exception has been handed out.
    xml_Element* ReadElement();
    // As xml_ElementReader::GetPercent just after the element last handed out was read.
    int GetPercent() const { return _Percent; }
    // As xml_ElementReader::Recycle.
    void Recycle(xml_Element* element);
    // Ends the thread; the trees read ahead and not handed out go back to the reader.
    void Stop();

private:
    static constexpr int kAhead = 256;
    // Elements pass between the threads this many at a time, so each side takes the
    // lock once a batch; the thread sleeps while the caller has half the ring to go.
    static constexpr int kBatch = 16;
    static constexpr int kReturned = kAhead + 2 * kBatch;

    struct Slot {
        xml_Element* element = nullptr;
        int percent = 0;
        std::exception_ptr error;
    };

    void Run();
    // Moves the trees the caller gave back to the thread's side (the mutex held); false
    // when there is no room for them all.
    bool PassReturned();

    xml_ElementReader& _Reader;
    std::mutex _Mutex;
    std::condition_variable _Ready;
    std::condition_variable _Room;
    // Read and not yet taken by the caller.
    Slot _Ring[kAhead];
    int _First = 0;
    int _Count = 0;
    // Trees given back, for the thread to hand to the reader before it reads on.
    xml_Element* _Returned[kReturned] = {};
    int _ReturnedCount = 0;
    bool _ReaderWaits = false;
    bool _CallerWaits = false;
    bool _Stop = false;
    // The caller's side, touched by the caller only: a batch taken from the ring, trees
    // given back and not yet passed on, whether the last slot was handed out.
    Slot _Taken[kBatch];
    int _TakenFirst = 0;
    int _TakenCount = 0;
    xml_Element* _Giving[2 * kBatch] = {};
    int _GivingCount = 0;
    bool _Ended = false;
    int _Percent = 0;
    // Last: the thread starts once the rest is made.
    std::thread _Thread;
};
