// Writing road elements to text and scanning text back as the road file reader does.
#pragma once

#include <memory>
#include <string>

#include "foundation/xml/xmlindex.h"
#include "foundation/xml/xmlout.h"
#include "roads/roadquorvel.h"
#include "support/temp_folder.h"

inline std::string road_TreeText(const xmlout_element* tree) {
    if (!tree) return "(null)";
    std::string buffer;
    xmlout_WriteElement(tree, nullptr, true, 0, buffer);
    return buffer;
}

// The element's own tree as text; "(null)" when it writes nothing.
inline std::string road_WrittenText(const RoadElement& element) {
    std::unique_ptr<xmlout_element> tree(element.WriteXml());
    return road_TreeText(tree.get());
}

// One element of text parsed into a node tree.
inline std::unique_ptr<xml_Node> road_ScanText(const TempFolder& tmp, const std::string& element) {
    const std::string path = tmp.Write("element.xml", "<?xml version=\"1.0\"?>\r\n" + element);
    return std::unique_ptr<xml_Node>(xml_ScanFile(Str(path.c_str()), true));
}
