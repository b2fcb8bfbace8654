#include "foundation/xml/xmlindex.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "foundation/environment.h"
#include "foundation/text/codepage.h"
#include "foundation/xml/element.h"
#include "foundation/xml/reader.h"
#include "platform/stream.h"

namespace {

constexpr const char* kModule = "Library/xml";

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Blanks and tabs from both ends (line breaks already read as blanks).
Str Trimmed(const Str& text) {
    int begin = 0;
    int end = text.Length();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    return text.Mid(begin, end - begin);
}

// Splits a tag's text at its first blank into the element name and the attribute text.
void SplitTag(const Str& tag, Str& name, const char*& attributes, const char*& end) {
    const char* p = tag.Data();
    end = p + tag.Length();
    const char* q = p;
    while (q < end && *q != ' ' && *q != '\t') ++q;
    name = Str(p, static_cast<int>(q - p));
    attributes = q;
}

Str Converted(const Str& text, bool utf8) { return utf8 ? text : unistr_CodePageToUTF8(text); }

}  // namespace

// ---------------------------------------------------------------------------------------
// The whole-file parse

xml_Element* xml_ParseFile(const Str& path) {
    try {
        xml_ElementReader reader;
        if (!reader.Open(path)) throw path + " does not exist or is not an XML file";
        std::unique_ptr<xml_Element> root(reader.ReadElement());
        if (!reader.Close()) throw Str("end of file was not processed");
        return root.release();
    } catch (const Str& message) {
        throw "bad XML; " + message;
    }
}

// ---------------------------------------------------------------------------------------
// Index nodes

xml_IndexNode::~xml_IndexNode() {
    for (xml_Attribute* a = FirstAttribute; a;) {
        xml_Attribute* next = a->next;
        delete a;
        a = next;
    }
    // Children of the root have no children of their own; the siblings go in a loop.
    for (xml_IndexNode* child = FirstChild; child;) {
        xml_IndexNode* next = child->NextSibling;
        child->NextSibling = nullptr;
        delete child;
        child = next;
    }
}

Str xml_IndexNode::GetName() const { return Converted(name, utf8); }

int xml_IndexNode::CountChildren(const Str& name) const {
    int count = 0;
    for (const xml_IndexNode* child = FirstChild; child; child = child->NextSibling)
        if (child->GetName() == name) ++count;
    return count;
}

xml_Node* xml_IndexNode::LoadChild(const Str& name) const { return LoadChild(0, name); }

xml_Node* xml_IndexNode::LoadChild(int n, const Str& name) const {
    for (const xml_IndexNode* child = FirstChild; child; child = child->NextSibling)
        if (child->GetName() == name && n-- == 0) return xml_ScanIndexNode(child, utf8);
    return nullptr;
}

Str xml_IndexNode::GetAttributeText(const Str& name) const {
    for (const xml_Attribute* a = FirstAttribute; a; a = a->next)
        if (a->name == name) return Converted(a->value, utf8);
    return Str();
}

void xml_IndexNode::AddChild(xml_IndexNode* child) {
    if (!FirstChild) {
        FirstChild = child;
        return;
    }
    xml_IndexNode* last = FirstChild;
    QZ_ASSERT_TEXT(FirstChild != nullptr, "FirstChild != NULL");
    while (last->NextSibling) last = last->NextSibling;
    QZ_ASSERT_TEXT(last->NextSibling == nullptr, "NextSibling == NULL");
    last->NextSibling = child;
}

void xml_IndexNode::AddAttribute(xml_Attribute* attribute) {
    if (!FirstAttribute) {
        FirstAttribute = attribute;
        return;
    }
    QZ_ASSERT_TEXT(FirstAttribute != nullptr, "FirstAttribute != NULL");
    xml_Attribute* last = FirstAttribute;
    while (last->next) last = last->next;
    last->next = attribute;
}

xml_IndexNode* xml_BuildIndex(const Str& path, const Str& rootName) {
    xml_IndexReader reader(path);
    return reader.BuildIndex(rootName);
}

// ---------------------------------------------------------------------------------------
// The index reader. It walks the file byte by byte through one chunk buffer; every line
// break it passes reads as a blank. The position of a byte in the file is the buffer's
// file offset plus its place in the buffer.

xml_IndexReader::xml_IndexReader(const Str& path) : _buffer(new char[kChunkSize + 1]), _path(path) {
    std::memset(_buffer.get(), 0, kChunkSize + 1);
}

xml_IndexReader::~xml_IndexReader() {
    if (_stream) std::fclose(_stream);
}

void xml_IndexReader::Open() {
    _stream = platform_OpenStream(_path.Data(), "rb");
    if (!_stream) throw Str("unable to open file");
    _size = 0;
    if (std::fseek(_stream, 0, SEEK_END) == 0) {
        long size = std::ftell(_stream);
        if (size > 0) _size = size;
    }
    LoadChunk(0);
}

void xml_IndexReader::LoadChunk(int64_t offset) {
    std::memset(_buffer.get(), 0, kChunkSize + 1);
    _bufferOffset = offset;
    _cur = 0;
    _end = 0;
    const int64_t wanted = std::min<int64_t>(kChunkSize, _size - offset);
    if (wanted > 0 && std::fseek(_stream, static_cast<long>(offset), SEEK_SET) == 0)
        _end = static_cast<int32_t>(std::fread(_buffer.get(), 1, static_cast<size_t>(wanted), _stream));
    // A file that shrank while being read ends where its bytes end.
    if (_end < wanted) _size = offset + _end;
    _eof = _end == 0;
}

void xml_IndexReader::MoveTo(int64_t position) {
    if (position >= _bufferOffset && position < _bufferOffset + _end) {
        _cur = static_cast<int32_t>(position - _bufferOffset);
        _eof = false;
        return;
    }
    LoadChunk(position - position % kChunkSize);
    if (!_eof) _cur = static_cast<int32_t>(position % kChunkSize);
}

char xml_IndexReader::Advance() {
    if (_eof) return 0;  // never past the end
    ++_cur;
    if (_cur >= _end) {
        if (Position() >= _size) {
            _eof = true;
            _cur = _end;
            return 0;
        }
        LoadChunk(_bufferOffset + _end);
        if (_eof) return 0;
    }
    char& c = _buffer[_cur];
    if (c == '\r' || c == '\n') c = ' ';
    if (c == 0) throw Str("unexpected zero byte in XML text");
    return c;
}

char xml_IndexReader::PeekNext() {
    if (_eof) return 0;
    if (_cur + 1 < _end) {
        char c = _buffer[_cur + 1];
        return c == '\r' || c == '\n' ? ' ' : c;
    }
    // The last byte of the chunk: the next one is read from the file itself.
    if (Position() + 1 >= _size) throw Str("unexpected eof");
    int c = EOF;
    if (std::fseek(_stream, static_cast<long>(_bufferOffset + _end), SEEK_SET) == 0) c = std::fgetc(_stream);
    if (c == EOF) throw Str("unexpected eof");
    return c == '\r' || c == '\n' ? ' ' : static_cast<char>(c);
}

// Markup that begins with "<!" (declarations) is skipped up to the next "<"; a comment
// up to its "-->", since it may hold "<" and ">" (the writer puts comments as they stand).
void xml_IndexReader::SkipToTag() {
    while (!_eof && Byte() != '<') Advance();
    while (!_eof && PeekNext() == '!') {
        Advance();
        if (Advance() == '-' && Advance() == '-') {
            int dashes = 0;
            for (;;) {
                const char c = Advance();
                if (_eof || (c == '>' && dashes >= 2)) break;
                dashes = c == '-' ? dashes + 1 : 0;
            }
        }
        while (!_eof && Byte() != '<') Advance();
    }
}

bool xml_IndexReader::AtStartTag() { return !_eof && Byte() == '<' && PeekNext() != '/'; }

const Str& xml_IndexReader::ReadTag() {
    if (_eof) {
        _lastTag = Str();
        return _lastTag;
    }
    if (Byte() != '<') return _lastTag;
    std::string tag;
    for (;;) {
        char c = Advance();
        if (_eof) throw Str("unexpected eof");
        if (c == '>') break;
        tag += c;
    }
    _lastTag = Str(tag.data(), static_cast<int>(tag.size()));
    return _lastTag;
}

void xml_IndexReader::SkipElement(const Str& name) {
    if (_lastTag.Length() > 0 && _lastTag[_lastTag.Length() - 1] == '/') return;
    int64_t depth = 1;
    for (;;) {
        Advance();
        SkipToTag();
        if (_eof) throw Str("unexpected eof");
        if (AtStartTag()) {
            const Str& tag = ReadTag();
            // Processing instructions open nothing.
            if (tag.Length() > 0 && tag[0] == '?') continue;
            if (tag.Length() == 0 || tag[tag.Length() - 1] != '/') ++depth;
            continue;
        }
        const Str& tag = ReadTag();
        if (--depth > 0) continue;
        // An end tag may hold blanks after its name.
        if (Trimmed(tag.MidToEnd(1)) != name) throw Str("unexpected end tag");
        return;
    }
}

// True when the element found is an empty-element tag.
bool xml_IndexReader::FindStart(xml_IndexNode* node, const Str& name) {
    SkipToTag();
    for (;;) {
        if (_eof) throw Str("unexpected eof");
        if (AtStartTag()) {
            Str tag = Trimmed(ReadTag());
            if (tag.Length() > 0 && tag[0] != '?') {
                const bool empty = tag[tag.Length() - 1] == '/';
                if (empty) tag = Trimmed(tag.Left(tag.Length() - 1));
                Str elementName;
                const char* attributes;
                const char* end;
                SplitTag(tag, elementName, attributes, end);
                if (name.IsEmpty() || elementName.EqualInsensitive(name)) {
                    node->name = elementName;
                    ParseAttributes(node, attributes, end);
                    return empty;
                }
            }
        }
        Advance();
        SkipToTag();
    }
}

void xml_IndexReader::ReadEncoding() {
    const int64_t saved = Position();
    SkipToTag();
    bool found = false;
    xml_IndexNode declaration;
    if (AtStartTag()) {
        Str tag = ReadTag();
        tag.Strip('?');
        Str name;
        const char* attributes;
        const char* end;
        SplitTag(tag, name, attributes, end);
        if (name.EqualInsensitive("xml")) {
            ParseAttributes(&declaration, attributes, end);
            found = true;
        }
    }
    if (!found) {
        MoveTo(saved);
        return;
    }
    Str encoding = declaration.GetAttributeText("encoding");
    if (!encoding.IsEmpty()) {
        encoding.MakeUpper();
        _utf8 = encoding.ContainsSubString("UTF");
    }
}

// name="value" pairs, taken as they stand.
void xml_IndexReader::ParseAttributes(xml_IndexNode* node, const char* p, const char* end) {
    for (;;) {
        while (p < end && IsBlank(*p)) ++p;
        if (p >= end) return;
        const char* equals = static_cast<const char*>(std::memchr(p, '=', static_cast<size_t>(end - p)));
        if (!equals || equals + 1 >= end || equals[1] != '"') throw Str("invalid attribute syntax");
        const char* value = equals + 2;
        const char* quote = static_cast<const char*>(std::memchr(value, '"', static_cast<size_t>(end - value)));
        if (!quote) throw Str("invalid attribute syntax");
        node->AddAttribute(new xml_Attribute(Str(p, static_cast<int>(equals - p)),
                                             Str(value, static_cast<int>(quote - value))));
        p = quote + 1;
        if (p < end && !IsBlank(*p)) throw Str("invalid attribute syntax");
    }
}

xml_IndexNode* xml_IndexReader::ReadChild() {
    std::unique_ptr<xml_IndexNode> node(new xml_IndexNode);
    node->path = _path;
    node->utf8 = _utf8;
    node->startOffset = Position();
    Str tag = Trimmed(ReadTag());
    if (tag.Length() > 0 && tag[tag.Length() - 1] == '/') tag = Trimmed(tag.Left(tag.Length() - 1));
    const char* attributes;
    const char* end;
    SplitTag(tag, node->name, attributes, end);
    ParseAttributes(node.get(), attributes, end);
    SkipElement(node->name);
    node->endOffset = Position();
    return node.release();
}

xml_IndexNode* xml_IndexReader::BuildIndex(const Str& rootName) {
    _error = Str();
    if (_stream) {
        _error = "an index reader builds one index";
        return nullptr;
    }
    std::unique_ptr<xml_IndexNode> root;
    try {
        Open();
        ReadEncoding();
        root.reset(new xml_IndexNode);
        root->path = _path;
        root->utf8 = _utf8;
        if (FindStart(root.get(), rootName)) return root.release();
        xml_IndexNode* last = nullptr;
        for (;;) {
            Advance();
            SkipToTag();
            if (!AtStartTag()) break;
            xml_IndexNode* child = ReadChild();
            // Linked here rather than through AddChild, which walks the whole list.
            (last ? last->NextSibling : root->FirstChild) = child;
            last = child;
        }
        return root.release();
    } catch (const Str& message) {
        _error = message;
        return nullptr;
    }
}
