// File lists and file-name patterns.
//
// file_Array owns copies of the files it is given (each copy closed) and sorts them by
// name, folder, date, size or extension, as the file searches fill it. FileTypeArray is
// a list of file-name patterns such as "*.job".
#pragma once

#include "foundation/text/str.h"

class file_Class;

class file_Array {
public:
    file_Array();
    file_Array(const file_Array& other);
    file_Array& operator=(const file_Array& other);
    virtual ~file_Array();

    // Deletes every file and the array.
    void Clear();
    void RemoveAll() { Clear(); }
    // Room for n files; a new array of n + 16 slots when there is less.
    void Reserve(int n);
    void Add(const file_Class& file);
    void Add(const file_Array& other);
    file_Array operator+(const file_Class& file) const;
    file_Array operator+(const file_Array& other) const;
    void RemoveAt(int index);
    int Count() const { return _Count; }
    int Allocated() const { return _Allocated; }
    // The file at the index, still owned by the list. An index out of range is reported
    // and gives a scratch empty file, never memory outside the list.
    file_Class& operator[](int index);
    const file_Class& operator[](int index) const;
    file_Class GetCopy(int index) const;

    // Each sorts ascending, then reverses the list when `ascending` is false.
    void SortByName(bool ascending = true);
    void SortByDirectory(bool ascending = true);
    void SortByDate(bool ascending = true);
    void SortBySize(bool ascending = true);
    void SortByExtension(bool ascending = true);
    void Reverse();

private:
    void CopyFrom(const file_Array& other);
    template <typename Key, typename Compare>
    void SortBy(bool ascending, Key key, Compare compare);

    file_Class** _Array;
    int _Allocated;
    int _Count;
};

// File-name patterns; "*.*" alone by default.
class FileTypeArray : public StrArray {
public:
    FileTypeArray();
    // The text split at every ';', each pattern without blanks at its ends.
    explicit FileTypeArray(const char* patterns);
    explicit FileTypeArray(const Str& patterns);
    virtual ~FileTypeArray();

    // Whether the upper-cased type equals one entry exactly (case-sensitive).
    bool Contains(const Str& type) const;
};

// "CSV file" for the extension csv.
Str file_TypeDescription(const Str& extension);

// A copy of the non-empty file of the largest logical size among the files that can be
// opened for reading (the first of equal sizes); an empty file when none qualifies.
file_Class fileio_FindLargest(const file_Array& files);
