// xmlout_element: the tree the system builds to write its own XML files (the road
// files). Each element keeps its attributes as ready-made start-tag text and may carry
// a comment written after its end tag.
//
// Layout of the text: four blanks of indentation per depth when indenting, CR LF line
// ends; an element with neither value nor children is an empty-element tag; one with a
// value only sits on one line; one with children has its start and end tags on lines of
// their own. Names and comments are written as they stand, values and attribute values
// escaped. The text goes through a buffer that is written to the file whenever it holds
// more than 64 KiB after a finished element, so a document never has to exist whole.
#pragma once

#include <string>

#include "foundation/text/str.h"

class file_Class;

class xmlout_element {
public:
    explicit xmlout_element(const char* name);
    xmlout_element(const char* name, const Str& value);
    xmlout_element(const char* name, const Str& value, const Str& comment);
    // Deletes the whole subtree, each child through its own destructor.
    virtual ~xmlout_element();
    xmlout_element(const xmlout_element&) = delete;
    xmlout_element& operator=(const xmlout_element&) = delete;

    // Appends ` name="escaped value"`; a name added twice is written twice.
    void AddAttribute(const Str& name, const Str& value);
    // Takes the child over; a null child (an element with nothing to write) is ignored.
    void AddChild(xmlout_element* child);

    Str name;
    Str value;
    Str comment;
    Str attributeText;
    // An empty line before the element and its value on a line of its own.
    bool separated = false;
    xmlout_element* nextSibling = nullptr;
    xmlout_element* firstChild = nullptr;
    xmlout_element* lastChild = nullptr;
};

// Appends the element and its subtree to the buffer, flushing it after every finished
// element that leaves more than 65536 bytes. With a null file the text stays in the buffer.
void xmlout_WriteElement(const xmlout_element* element, file_Class* file, bool indent, int depth,
                         std::string& buffer);
void xmlout_FlushIfLarge(file_Class* file, std::string& buffer);
// Writes the buffer at the file's current position and empties it, also when the write
// fails (the file layer reports that). With a null file nothing happens.
void xmlout_FlushBuffer(file_Class* file, std::string& buffer);

// xml_Escape, made safe for XML 1.0: control bytes other than tab, LF and CR, which no
// XML 1.0 document may hold even as references, become U+FFFD.
Str xmlout_Escape(const char* text);
