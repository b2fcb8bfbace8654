// Writing road elements to text and reading them back from it, as the road file writer
// and reader do, for the tests of the element kinds.
#pragma once

#include <memory>
#include <string>

#include "foundation/xml/xmlindex.h"
#include "foundation/xml/xmlout.h"
#include "roads/roadquorvel.h"
#include "support/temp_folder.h"

namespace road_test {

// The text of a tree, "(null)" for none.
inline std::string Text(const xmlout_element* e) {
    if (!e) return "(null)";
    std::string buffer;
    xmlout_WriteElement(e, nullptr, true, 0, buffer);
    return buffer;
}

// The text of a tree the caller hands over.
inline std::string Owned(xmlout_element* tree) {
    std::unique_ptr<xmlout_element> owned(tree);
    return Text(owned.get());
}

inline std::string Written(const RoadElement& element) { return Owned(element.WriteXml()); }

// One element parsed as the road file reader parses it.
inline std::unique_ptr<xml_Node> Scan(const TempFolder& tmp, const std::string& element) {
    const std::string path = tmp.Write("element.xml", "<?xml version=\"1.0\"?>\r\n" + element);
    return std::unique_ptr<xml_Node>(xml_ScanFile(Str(path.c_str()), true));
}

// Every child that make(name) gives an element for, read and appended, as the road
// file reader fills a list.
template <class Make>
void ReadElements(const xml_Node* node, RoadElementArray& list, Make make) {
    for (int i = 0; i < node->GetChildCount(); ++i) {
        const xml_Node* child = node->GetChild(i);
        if (RoadElement* e = make(child->GetName())) {
            e->ReadXml(child);
            list.Add(e);
        }
    }
}

}  // namespace road_test
