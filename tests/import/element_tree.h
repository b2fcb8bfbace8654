// Element trees built in memory, for the readers' tests: a node's name, text and
// children, and the "Record" element holding given children.
#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "foundation/xml/element.h"

namespace import_test {

struct Node {
    const char* name;
    const char* text;
    std::vector<Node> children = {};
};

inline xml_Element* Build(const Node& node) {
    auto* element = new xml_Element(node.name, Str(node.text));
    for (const Node& child : node.children) element->AddChild(Build(child));
    return element;
}

// <Record> holding the given children.
inline std::unique_ptr<xml_Element> Record(std::vector<Node> children) {
    return std::unique_ptr<xml_Element>(Build(Node{"Record", "", std::move(children)}));
}

}  // namespace import_test
