// Three ways of reading XML besides the pull reader, for files the system wrote itself
// (the road files); a conversion uses none of them.
//
// - xml_ParseFile: a file's root element as one xml_Element tree, through the pull reader.
// - xml_BuildIndex: reads a file in chunks of 102400 bytes and keeps only the root's
//   name and attributes and, for each child of the root, its name, attributes and the
//   byte range from its "<" to its closing ">". Nothing below the root's children is kept.
// - The fragment scanner: xml_IndexNode::LoadChild reads one child's byte range and
//   parses it in place into xml_Node objects whose names and values point into one text
//   buffer owned by the tree's root. An element holds a value, children, or both (text
//   first); references are resolved when a name, value or attribute is asked for.
//
// Names and values come back converted from the system code page to UTF-8 unless the
// document's declaration names a UTF encoding. Errors inside the index reader and the
// scanner are thrown as a Str and end in a null result; the reader or scanner object
// keeps the message. File sizes and offsets are 64-bit.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>

#include "foundation/text/str.h"

class xml_Element;
struct xml_Attribute;
struct xml_Node;

// The root element of the file, owned by the caller. Throws "bad XML; " + the message
// for a file that cannot be opened or read, or holds more than one root element.
xml_Element* xml_ParseFile(const Str& path);

// One element of an index: the root, or a child of the root with its byte range.
class xml_IndexNode {
public:
    xml_IndexNode() = default;
    // Deletes the children and attributes.
    ~xml_IndexNode();
    xml_IndexNode(const xml_IndexNode&) = delete;
    xml_IndexNode& operator=(const xml_IndexNode&) = delete;

    // The first child whose name equals the name exactly (after conversion), parsed from
    // its byte range; the caller owns the result; null when none or the parse fails.
    xml_Node* LoadChild(const Str& name) const;
    // The same for the n-th (from 0) among the children with that name.
    xml_Node* LoadChild(int n, const Str& name) const;
    int CountChildren(const Str& name) const;
    Str GetName() const;
    // The value of the first attribute with exactly that name, or an empty Str.
    Str GetAttributeText(const Str& name) const;

    void AddChild(xml_IndexNode* child);
    void AddAttribute(xml_Attribute* attribute);

    Str name;
    Str path;
    // Offsets in the file of the ">" that ends the element and of the "<" that opens it;
    // the element occupies end - start + 1 bytes. The root keeps 0 and 0.
    int64_t endOffset = 0;
    int64_t startOffset = 0;
    bool utf8 = true;
    xml_IndexNode* FirstChild = nullptr;
    xml_IndexNode* NextSibling = nullptr;
    xml_Attribute* FirstAttribute = nullptr;
};

// The index of the file's root element (the first start tag whose name equals rootName
// ignoring letter case; any start tag when rootName is empty); null on failure.
xml_IndexNode* xml_BuildIndex(const Str& path, const Str& rootName);

class xml_IndexReader {
public:
    static constexpr int kChunkSize = 0x19000;  // 102400

    explicit xml_IndexReader(const Str& path);
    ~xml_IndexReader();
    xml_IndexReader(const xml_IndexReader&) = delete;
    xml_IndexReader& operator=(const xml_IndexReader&) = delete;

    // The index, owned by the caller, or null; a reader builds one index.
    xml_IndexNode* BuildIndex(const Str& rootName);
    // The message of the failure that made BuildIndex return null.
    const Str& GetError() const { return _error; }

private:
    void Open();
    void LoadChunk(int64_t offset);
    void MoveTo(int64_t position);
    int64_t Position() const { return _bufferOffset + _cur; }
    char Byte() const { return _eof ? 0 : _buffer[_cur]; }
    char Advance();
    char PeekNext();
    void SkipToTag();
    bool AtStartTag();
    const Str& ReadTag();
    void SkipElement(const Str& name);
    bool FindStart(xml_IndexNode* node, const Str& name);
    void ReadEncoding();
    void ParseAttributes(xml_IndexNode* node, const char* text, const char* end);
    xml_IndexNode* ReadChild();

    std::unique_ptr<char[]> _buffer;
    int32_t _end = 0;  // bytes in the buffer
    int32_t _cur = 0;
    Str _lastTag;
    Str _path;
    int64_t _size = 0;
    int64_t _bufferOffset = 0;
    bool _eof = false;
    bool _utf8 = true;
    std::FILE* _stream = nullptr;
    Str _error;
};

struct xml_NodeAttribute {
    char* name = nullptr;
    char* value = nullptr;
    xml_NodeAttribute* next = nullptr;
};

// An element parsed by the fragment scanner. Names and values point into the buffer that
// the root of the tree owns.
struct xml_Node {
    xml_Node() = default;
    // Deletes the children, the attributes and, at the root, the buffer.
    ~xml_Node();
    xml_Node(const xml_Node&) = delete;
    xml_Node& operator=(const xml_Node&) = delete;

    Str GetName() const;
    // An element without text gives an empty Str.
    Str GetValue() const;
    // Counted from 0; null past the end.
    xml_Node* GetChild(int n) const;
    // The n-th (from 0) among the children with that name.
    xml_Node* GetChild(int n, const char* name) const;
    int GetChildCount() const;
    int CountChildren(const char* name) const;
    // A path is child names separated by "/"; the first child of each name is followed.
    xml_Node* FindPath(const char* path) const;
    Str GetValueByPath(const char* path) const;
    // True when the value, lower-cased, is "true".
    bool GetBoolByPath(const char* path) const;
    // The number in the value, or the default when the value is empty or missing.
    double GetDoubleByPath(const char* path, double defaultValue) const;
    // The number in the value, or -1 when the value is empty or missing.
    int GetIntByPath(const char* path) const;
    // The value of the first attribute with exactly that name, or an empty Str.
    Str GetAttribute(const char* name) const;

    void AddChild(xml_Node* child);
    void AddAttribute(xml_NodeAttribute* attribute);
    // Hands the text buffer to the root; set once (false, and not taken, after that).
    bool SetBuffer(char* text);

    char* name = nullptr;
    char* value = nullptr;
    char* buffer = nullptr;
    int utf8 = 1;
    xml_Node* firstChild = nullptr;
    xml_Node* nextSibling = nullptr;
    xml_NodeAttribute* firstAttribute = nullptr;
};

// Parses the node's byte range of its file; null when it cannot be read or parsed.
xml_Node* xml_ScanIndexNode(const xml_IndexNode* node, bool utf8);
// Parses the root element of a whole file, which must begin with "<?xml"; null on failure.
xml_Node* xml_ScanFile(const Str& path, bool utf8);

class xml_FragmentScanner {
public:
    xml_FragmentScanner();
    ~xml_FragmentScanner();
    xml_FragmentScanner(const xml_FragmentScanner&) = delete;
    xml_FragmentScanner& operator=(const xml_FragmentScanner&) = delete;

    // The bytes from start to end (both included) of the file, parsed; null on failure.
    xml_Node* ScanRange(const Str& path, int64_t start, int64_t end, bool utf8);
    xml_Node* ScanFile(const Str& path, bool utf8);
    // The message of the failure that made a scan return null (empty when the file could
    // not be opened).
    const Str& GetError() const { return _error; }

private:
    xml_Node* Parse(bool wholeFile);
    xml_Node* ParseNode(int depth, bool opened);
    bool NextTag(bool opened, const char* message);
    void ParseAttributes(xml_Node* node, char* text, char* end);
    void Release();

    char* _cur = nullptr;
    char* _start = nullptr;
    char* _end = nullptr;
    int64_t _read = 0;
    bool _space[256] = {};
    bool _utf8 = true;
    Str _path;
    std::FILE* _stream = nullptr;
    Str _error;
};
