// Reads a road file back into a road, one top-level element at a time through the
// file's index, so a large file is never held whole. Elements whose names the factory
// does not know (a list's own "StartStation" and "EndStation" among them) are skipped;
// the factory does not check that an element belongs to the list it stands in.
#pragma once

#include "foundation/text/str.h"

class RoadElement;
class RoadElementArray;
class TemplateArray;
class xml_IndexNode;
struct xml_Node;

class RxlReader {
public:
    RxlReader() = default;
    ~RxlReader();
    RxlReader(const RxlReader&) = delete;
    RxlReader& operator=(const RxlReader&) = delete;

    // Indexes the file; true when an index was built.
    bool Open(const Str& path);
    // The root's "Name" text (maybe empty) when there is one; else the text stays.
    void ReadName(Str& name) const;
    void ReadCode(Str& code) const;
    // The number of a non-empty "StationInterval"; else the value stays.
    void ReadStationInterval(double& interval) const;
    // A new element for the XML name, the caller's; null for a name not in the table.
    static RoadElement* CreateElement(const Str& name);
    // Empties the list, then appends every child of the node the factory knows, read.
    static void ReadElements(RoadElementArray& list, const xml_Node* node);
    // The root's first child of that name into the list; an absent one leaves it alone.
    void ReadList(RoadElementArray& list, const char* name) const;
    // Every "TemplateRecord" whose "Deleted" is not exactly "true".
    void ReadTemplates(TemplateArray& templates) const;

private:
    // The root's first child of that name, parsed, the caller's; null when absent.
    xml_Node* LoadChild(const char* name) const;
    void ReadText(const char* name, Str& text) const;

    xml_IndexNode* index = nullptr;
};
