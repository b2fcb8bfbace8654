// xml_Element: one element of an XML document held in memory, with its attributes, its
// text and its children. The pull reader builds one tree per record element of an export;
// the import picks the fields out of it by child name and deletes it.
//
// Children and attributes are singly linked lists in document order, owned by the
// element. Names may repeat; every lookup by name takes the first match. Names and texts
// compare byte for byte, case-sensitively.
#pragma once

#include <cstddef>
#include <string_view>

#include "foundation/text/str.h"

struct xml_Attribute {
    xml_Attribute(const Str& name, const Str& value) : name(name), value(value) {}
    xml_Attribute(Str&& name, Str&& value) : name(static_cast<Str&&>(name)), value(static_cast<Str&&>(value)) {}

    // Nodes are reused through a per-thread pool: a conversion builds and frees one
    // tree per record.
    static void* operator new(std::size_t size);
    static void operator delete(void* node, std::size_t size) noexcept;

    Str name;
    Str value;
    xml_Attribute* next = nullptr;
};

class xml_Element {
public:
    explicit xml_Element(const char* name);
    xml_Element(const char* name, const Str& text);
    // Takes the name's block over: the reader makes one element per start tag.
    explicit xml_Element(Str&& name);
    // Deleting an element deletes its whole subtree, however deep, without recursion.
    ~xml_Element();
    xml_Element(const xml_Element&) = delete;
    xml_Element& operator=(const xml_Element&) = delete;

    // Nodes are reused through a per-thread pool, as attributes are.
    static void* operator new(std::size_t size);
    static void operator delete(void* node, std::size_t size) noexcept;

    void AddAttribute(xml_Attribute* attribute);
    // A null child is ignored.
    void AddChild(xml_Element* child);
    // Unlinks and deletes the child with its subtree; false when it is not a child.
    bool RemoveChild(xml_Element* child);

    // Lookups never throw; a missing element gives null, false or an empty text.
    // The zero-terminated forms measure the name inline, so a literal costs no strlen.
    xml_Element* FindChild(std::string_view name) const;
    xml_Element* FindChild(const char* name) const { return FindChild(std::string_view(name)); }
    // Counted from 0; negative or past the end gives null.
    xml_Element* GetChild(int n) const;
    // The n-th (from 0) among the children with that name.
    xml_Element* GetChild(int n, const char* name) const;
    // Counted from 1; any n of 1 or less gives the first child.
    xml_Element* GetChildAt(int n) const;
    int GetChildCount() const;
    int CountChildren(const char* name) const;
    Str GetChildText(const char* name) const;

    xml_Attribute* FindAttribute(std::string_view name) const;
    xml_Attribute* FindAttribute(const char* name) const { return FindAttribute(std::string_view(name)); }
    Str GetAttributeText(const char* name) const;
    // Sets the first attribute of that name; false, and nothing added, when there is none.
    bool SetAttributeText(const char* name, const Str& value);

    // A path is child names separated by "/"; only the first child of each name is followed.
    xml_Element* FindPath(const char* path) const;
    Str GetText(const char* path) const;
    bool SetText(const char* path, const Str& text);
    // True when the text at the path is "true" in any letter case.
    bool GetBool(const char* path) const;
    // The number at the path, or the default when the text is empty or the element missing.
    double GetDouble(const char* path, double defaultValue) const;

    Str name;
    Str text;
    // Asks the element writer for an empty line before the element and its text on a
    // line of its own.
    bool separated = false;
    xml_Element* nextSibling = nullptr;
    xml_Element* firstChild = nullptr;
    xml_Attribute* firstAttribute = nullptr;
    xml_Element* lastChild = nullptr;
    xml_Attribute* lastAttribute = nullptr;
};

// Takes apart the trees of a list of siblings with constant stack, however deep: each
// element's children join the work list before the element, left without children,
// goes to take(element).
template <class Take>
void xml_TakeApart(xml_Element* first, Take take) {
    while (first) {
        xml_Element* e = first;
        first = e->nextSibling;
        if (e->firstChild) {
            e->lastChild->nextSibling = first;
            first = e->firstChild;
            e->firstChild = e->lastChild = nullptr;
        }
        take(e);
    }
}

Str xml_GetAttributeText(const xml_Element* element, const char* name);
// The number of descendants at a level below the element: 0 counts the children,
// 1 the grandchildren, and so on; a negative level gives 0.
int xml_CountAtLevel(const xml_Element* element, int level);
