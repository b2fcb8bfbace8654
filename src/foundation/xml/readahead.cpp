#include "foundation/xml/readahead.h"

#include "foundation/xml/element.h"
#include "foundation/xml/reader.h"

xml_ReadAhead::xml_ReadAhead(xml_ElementReader& reader) : _Reader(reader), _Thread([this] { Run(); }) {}

void xml_ReadAhead::Run() {
    xml_Element* returned[kReturned];
    Slot batch[kBatch];
    for (;;) {
        int count = 0;
        {
            std::unique_lock<std::mutex> lock(_Mutex);
            if (kAhead - _Count < kBatch) {
                _ReaderWaits = true;
                _Room.wait(lock, [this] { return _Stop || _Count <= kAhead / 2; });
                _ReaderWaits = false;
            }
            if (_Stop) return;
            count = _ReturnedCount;
            for (int i = 0; i < count; ++i) returned[i] = _Returned[i];
            _ReturnedCount = 0;
        }
        // Their nodes make the next trees.
        for (int i = 0; i < count; ++i) _Reader.Recycle(returned[i]);

        int read = 0;
        bool last = false;
        while (read < kBatch && !last) {
            Slot& slot = batch[read++];
            try {
                slot.element = _Reader.ReadElement();
            } catch (...) {
                slot.error = std::current_exception();
            }
            slot.percent = _Reader.GetPercent();
            last = !slot.element;
        }
        {
            std::lock_guard<std::mutex> lock(_Mutex);
            for (int i = 0; i < read; ++i) {
                _Ring[(_First + _Count) % kAhead] = std::move(batch[i]);
                batch[i] = Slot();
                ++_Count;
            }
            if (_CallerWaits) _Ready.notify_one();
        }
        if (last) return;
    }
}

bool xml_ReadAhead::PassReturned() {
    if (_ReturnedCount + _GivingCount > kReturned) return false;
    for (int i = 0; i < _GivingCount; ++i) _Returned[_ReturnedCount++] = _Giving[i];
    _GivingCount = 0;
    return true;
}

xml_Element* xml_ReadAhead::ReadElement() {
    if (_Ended) return nullptr;
    if (_TakenCount == 0) {
        std::unique_lock<std::mutex> lock(_Mutex);
        PassReturned();
        if (_Count == 0) {
            _CallerWaits = true;
            _Ready.wait(lock, [this] { return _Count > 0; });
            _CallerWaits = false;
        }
        _TakenFirst = 0;
        for (; _TakenCount < kBatch && _Count > 0; ++_TakenCount, --_Count) {
            _Taken[_TakenCount] = std::move(_Ring[_First]);
            _Ring[_First] = Slot();
            _First = (_First + 1) % kAhead;
        }
        if (_ReaderWaits && _Count <= kAhead / 2) _Room.notify_one();
    }
    Slot slot = std::move(_Taken[_TakenFirst]);
    _Taken[_TakenFirst++] = Slot();
    --_TakenCount;
    _Percent = slot.percent;
    if (!slot.element) _Ended = true;
    if (slot.error) std::rethrow_exception(slot.error);
    return slot.element;
}

void xml_ReadAhead::Recycle(xml_Element* element) {
    if (!element) return;
    if (_GivingCount == 2 * kBatch) {
        std::lock_guard<std::mutex> lock(_Mutex);
        if (!PassReturned()) {
            // More given back than the thread has taken: this tree goes to the heap.
            delete element;
            return;
        }
    }
    _Giving[_GivingCount++] = element;
}

void xml_ReadAhead::Stop() {
    if (!_Thread.joinable()) return;
    {
        std::lock_guard<std::mutex> lock(_Mutex);
        _Stop = true;
    }
    _Room.notify_one();
    _Thread.join();
    // The reader is the caller's again, with every tree not handed out.
    for (int i = 0; i < _ReturnedCount; ++i) _Reader.Recycle(_Returned[i]);
    _ReturnedCount = 0;
    for (int i = 0; i < _GivingCount; ++i) _Reader.Recycle(_Giving[i]);
    _GivingCount = 0;
    for (; _TakenCount > 0; --_TakenCount) {
        _Reader.Recycle(_Taken[_TakenFirst].element);
        _Taken[_TakenFirst++] = Slot();
    }
    for (; _Count > 0; --_Count) {
        _Reader.Recycle(_Ring[_First].element);
        _Ring[_First] = Slot();
        _First = (_First + 1) % kAhead;
    }
    _Ended = true;
}
