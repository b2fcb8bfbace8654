// The fragment scanner: parses a run of XML text in place. Tag texts and values are cut
// out of the buffer with zero bytes, and the nodes point at them.
#include <algorithm>
#include <climits>
#include <memory>
#include <cstring>
#include <string>

#include "foundation/environment.h"
#include "foundation/text/codepage.h"
#include "foundation/text/number.h"
#include "foundation/xml/element.h"
#include "foundation/xml/reader.h"
#include "foundation/xml/xmlindex.h"
#include "platform/stream.h"

namespace {

constexpr const char* kModule = "Library/xml";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The ';' of a reference starting at the '&', looked for within a short reach so a
// text full of bare '&' stays linear; null when there is none or it cannot be one.
const char* ReferenceEnd(const char* p) {
    constexpr int kReach = 32;
    for (int i = 1; i < kReach && p[i]; ++i) {
        if (p[i] == ';') return i >= 3 ? p + i : nullptr;
        if (p[i] == '&') return nullptr;
    }
    return nullptr;
}

// The text with its references resolved; an '&' that starts no known reference stays.
Str DecodeReferences(const Str& text) {
    const char* p = text.Data();
    if (!std::strchr(p, '&')) return text;
    std::string out;
    while (*p) {
        const char* semicolon = *p == '&' ? ReferenceEnd(p) : nullptr;
        if (semicolon) {
            char bytes[4];
            try {
                const int n = xml_DecodeReference(p, static_cast<int>(semicolon - p + 1), bytes);
                out.append(bytes, static_cast<size_t>(n));
                p = semicolon + 1;
                continue;
            } catch (const Str&) {
            }
        }
        out += *p++;
    }
    return Str(out.data(), static_cast<int>(out.size()));
}

// Names, values and attribute values in UTF-8 with references resolved, so a text the
// writer escaped reads back as it was.
Str Converted(const char* text, int utf8) {
    if (!text) return Str();
    return DecodeReferences(utf8 ? Str(text) : unistr_CodePageToUTF8(Str(text)));
}

bool NameIs(const xml_Node* node, const char* name) {
    if (node->utf8) return std::strcmp(node->name, name) == 0;
    return node->GetName() == name;
}

int64_t StreamSize(std::FILE* stream) {
    if (std::fseek(stream, 0, SEEK_END) != 0) return 0;
    long size = std::ftell(stream);
    return size > 0 ? size : 0;
}

}  // namespace

// ---------------------------------------------------------------------------------------
// Nodes

xml_Node::~xml_Node() {
    for (xml_NodeAttribute* a = firstAttribute; a;) {
        xml_NodeAttribute* next = a->next;
        delete a;
        a = next;
    }
    // Children are gathered into one work list, so no tree shape recurses.
    xml_Node* work = firstChild;
    firstChild = nullptr;
    while (work) {
        xml_Node* n = work;
        if (n->firstChild) {
            xml_Node* last = n->firstChild;
            while (last->nextSibling) last = last->nextSibling;
            last->nextSibling = n->nextSibling;
            work = n->firstChild;
            n->firstChild = nullptr;
        } else {
            work = n->nextSibling;
        }
        n->nextSibling = nullptr;
        delete n;
    }
    delete[] buffer;
}

Str xml_Node::GetName() const { return Converted(name ? name : "", utf8); }

Str xml_Node::GetValue() const { return Converted(value, utf8); }

xml_Node* xml_Node::GetChild(int n) const {
    if (n < 0) return nullptr;
    for (xml_Node* child = firstChild; child; child = child->nextSibling)
        if (n-- == 0) return child;
    return nullptr;
}

xml_Node* xml_Node::GetChild(int n, const char* name) const {
    if (n < 0) return nullptr;
    for (xml_Node* child = firstChild; child; child = child->nextSibling)
        if (NameIs(child, name) && n-- == 0) return child;
    return nullptr;
}

int xml_Node::GetChildCount() const {
    int count = 0;
    for (xml_Node* child = firstChild; child; child = child->nextSibling) ++count;
    return count;
}

int xml_Node::CountChildren(const char* name) const {
    int count = 0;
    for (xml_Node* child = firstChild; child; child = child->nextSibling)
        if (NameIs(child, name)) ++count;
    return count;
}

xml_Node* xml_Node::FindPath(const char* path) const {
    const xml_Node* node = this;
    const char* p = path ? path : "";
    for (;;) {
        const char* slash = std::strchr(p, '/');
        Str part = slash ? Str(p, static_cast<int>(slash - p)) : Str(p);
        if (part.IsEmpty()) return nullptr;
        xml_Node* child = node->GetChild(0, part.Data());
        if (!child || !slash || slash[1] == 0) return child;
        node = child;
        p = slash + 1;
    }
}

Str xml_Node::GetValueByPath(const char* path) const {
    const xml_Node* node = FindPath(path);
    return node ? node->GetValue() : Str();
}

bool xml_Node::GetBoolByPath(const char* path) const {
    Str value = GetValueByPath(path);
    value.MakeLower();
    return value == "true";
}

double xml_Node::GetDoubleByPath(const char* path, double defaultValue) const {
    Str value = GetValueByPath(path);
    if (value.IsEmpty()) return defaultValue;
    return number_Atof(value.Data());
}

int xml_Node::GetIntByPath(const char* path) const {
    Str value = GetValueByPath(path);
    if (value.IsEmpty()) return -1;
    return number_Atoi(value.Data());
}

Str xml_Node::GetAttribute(const char* name) const {
    for (const xml_NodeAttribute* a = firstAttribute; a; a = a->next)
        if (std::strcmp(a->name, name) == 0) return Converted(a->value, utf8);
    return Str();
}

void xml_Node::AddChild(xml_Node* child) {
    if (!firstChild) {
        firstChild = child;
        return;
    }
    QZ_ASSERT_TEXT(firstChild != nullptr, "firstChild != NULL");
    xml_Node* last = firstChild;
    while (last->nextSibling) last = last->nextSibling;
    QZ_ASSERT_TEXT(last->nextSibling == nullptr, "nextSibling == NULL");
    last->nextSibling = child;
}

void xml_Node::AddAttribute(xml_NodeAttribute* attribute) {
    if (!firstAttribute) {
        firstAttribute = attribute;
        return;
    }
    QZ_ASSERT_TEXT(firstAttribute != nullptr, "firstAttribute != NULL");
    xml_NodeAttribute* last = firstAttribute;
    while (last->next) last = last->next;
    QZ_ASSERT_TEXT(last->next == nullptr, "next == NULL");
    last->next = attribute;
}

bool xml_Node::SetBuffer(char* text) {
    // The tree's texts already point into the first buffer; a second is refused.
    if (!QZ_ASSERT_TEXT(buffer == nullptr, "buffer == NULL")) return false;
    buffer = text;
    return true;
}

xml_Node* xml_ScanIndexNode(const xml_IndexNode* node, bool utf8) {
    if (!node) return nullptr;
    xml_FragmentScanner scanner;
    return scanner.ScanRange(node->path, node->startOffset, node->endOffset, utf8);
}

xml_Node* xml_ScanFile(const Str& path, bool utf8) {
    xml_FragmentScanner scanner;
    return scanner.ScanFile(path, utf8);
}

// ---------------------------------------------------------------------------------------
// The scanner

xml_FragmentScanner::xml_FragmentScanner() {
    _space[static_cast<unsigned char>('\n')] = true;
    _space[static_cast<unsigned char>('\r')] = true;
    _space[static_cast<unsigned char>('\t')] = true;
    _space[static_cast<unsigned char>(' ')] = true;
}

xml_FragmentScanner::~xml_FragmentScanner() { Release(); }

void xml_FragmentScanner::Release() {
    if (_stream) std::fclose(_stream);
    _stream = nullptr;
    delete[] _start;
    _start = _cur = _end = nullptr;
    _read = 0;
}

xml_Node* xml_FragmentScanner::ScanRange(const Str& path, int64_t start, int64_t end, bool utf8) {
    Release();
    _error = Str();
    _path = path;
    _utf8 = utf8;
    if (start < 0 || end < start) {
        _error = "invalid byte range";
        return nullptr;
    }
    _stream = platform_OpenStream(path.Data(), "rb");
    if (!_stream) return nullptr;
    // Never more than the file holds, whatever the range says.
    const int64_t size = StreamSize(_stream);
    const int64_t wanted = start < size ? std::min(end - start + 1, size - start) : 0;
    _start = new char[static_cast<size_t>(wanted) + 1]();
    if (wanted > 0 && std::fseek(_stream, static_cast<long>(start), SEEK_SET) == 0)
        _read = static_cast<int64_t>(std::fread(_start, 1, static_cast<size_t>(wanted), _stream));
    std::fclose(_stream);
    _stream = nullptr;
    return Parse(false);
}

xml_Node* xml_FragmentScanner::ScanFile(const Str& path, bool utf8) {
    Release();
    _error = Str();
    _path = path;
    _utf8 = utf8;
    _stream = platform_OpenStream(path.Data(), "rb");
    if (!_stream) return nullptr;
    const int64_t size = StreamSize(_stream);
    _start = new char[static_cast<size_t>(size) + 1]();
    if (size > 0 && std::fseek(_stream, 0, SEEK_SET) == 0)
        _read = static_cast<int64_t>(std::fread(_start, 1, static_cast<size_t>(size), _stream));
    std::fclose(_stream);
    _stream = nullptr;
    return Parse(true);
}

xml_Node* xml_FragmentScanner::Parse(bool wholeFile) {
    _cur = _start;
    _end = _start + _read;
    try {
        // Names and values end at zero bytes; one in the text would cut them short.
        if (std::memchr(_start, 0, static_cast<size_t>(_read))) throw Str("unexpected zero byte in XML text");
        if (wholeFile) {
            if (_read < 5 || std::memcmp(_start, "<?xml", 5) != 0) throw Str("not an xml file");
            _cur = static_cast<char*>(std::memchr(_start, '>', static_cast<size_t>(_read)));
            if (!_cur) throw Str("couldn't find tag end");
        }
        xml_Node* root = ParseNode(0, false);
        root->SetBuffer(_start);
        _start = nullptr;
        Release();
        return root;
    } catch (const Str& message) {
        _error = message;
        Release();
        return nullptr;
    }
}

// Steps past the "<" of the next tag (unless `opened` says that is done), skipping
// comments, declarations and processing instructions; true when it is a start tag.
bool xml_FragmentScanner::NextTag(bool opened, const char* message) {
    for (;;) {
        if (!opened) {
            while (_cur < _end && *_cur != '<') ++_cur;
            if (_cur >= _end) throw Str(message);
            ++_cur;
        }
        opened = false;
        if (_end - _cur >= 3 && std::memcmp(_cur, "!--", 3) == 0) {
            // A comment ends at "-->", whatever "<" and ">" it holds.
            char* p = _cur + 3;
            while (_end - p >= 3 && std::memcmp(p, "-->", 3) != 0) ++p;
            if (_end - p < 3) throw Str(message);
            _cur = p + 3;
            continue;
        }
        if (_cur < _end && (*_cur == '!' || *_cur == '?')) {
            while (_cur < _end && *_cur != '>') ++_cur;
            if (_cur >= _end) throw Str(message);
            ++_cur;
            continue;
        }
        return _cur >= _end || *_cur != '/';
    }
}

// With `opened`, the "<" of the element's start tag lies just before _cur.
xml_Node* xml_FragmentScanner::ParseNode(int depth, bool opened) {
    if (depth >= xml_ElementReader::maxDepth) throw Str("elements nested deeper than 256 levels");
    if (!opened && !NextTag(false, "couldn't find tag start")) throw Str("couldn't find tag start");
    std::unique_ptr<xml_Node> node(new xml_Node);
    node->utf8 = _utf8;

    char* tag = _cur;
    while (_cur < _end && *_cur != '>') {
        if (*_cur == '\r' || *_cur == '\n') *_cur = ' ';
        ++_cur;
    }
    if (_cur >= _end) throw Str("couldn't find tag end");
    char* tagEnd = _cur;
    *_cur++ = 0;

    if (tagEnd > tag && tagEnd[-1] == '/') {
        *--tagEnd = 0;
        if (tagEnd > tag && tagEnd[-1] == ' ') *--tagEnd = 0;
        ParseAttributes(node.get(), tag, tagEnd);
        return node.release();
    }

    while (_cur < _end && _space[static_cast<unsigned char>(*_cur)]) ++_cur;
    if (_cur >= _end) throw Str("couldn't find element value");
    bool afterValue = false;
    if (*_cur != '<') {
        node->value = _cur;
        while (_cur < _end && *_cur != '<') {
            if (*_cur == '\r' || *_cur == '\n') *_cur = ' ';
            ++_cur;
        }
        if (_cur >= _end) throw Str("couldn't find start of end tag");
        *_cur++ = 0;
        afterValue = true;
    }
    ParseAttributes(node.get(), tag, tagEnd);

    // Children may follow a value too: the text is kept and the children are read, so
    // nothing after such an element is lost.
    xml_Node* last = nullptr;
    while (NextTag(afterValue, "couldn't find start of next tag")) {
        afterValue = false;
        xml_Node* child = ParseNode(depth + 1, true);
        (last ? last->nextSibling : node->firstChild) = child;
        last = child;
    }
    // On the "/" of the end tag; its name is not compared.
    while (_cur < _end && *_cur != '>') ++_cur;
    if (_cur >= _end) throw Str("couldn't find end of end tag");
    ++_cur;
    return node.release();
}

// The element name and the name="value" pairs of a tag text, cut in place.
void xml_FragmentScanner::ParseAttributes(xml_Node* node, char* p, char* end) {
    char* name = p;
    while (p < end && !IsBlank(*p)) ++p;
    char* nameEnd = p;
    xml_NodeAttribute* last = nullptr;
    for (;;) {
        while (p < end && IsBlank(*p)) ++p;
        if (p >= end) break;
        char* equals = static_cast<char*>(std::memchr(p, '=', static_cast<size_t>(end - p)));
        if (!equals || equals + 1 >= end || equals[1] != '"') throw Str("invalid attribute syntax");
        char* value = equals + 2;
        char* quote = static_cast<char*>(std::memchr(value, '"', static_cast<size_t>(end - value)));
        if (!quote) throw Str("invalid attribute syntax");
        *equals = 0;
        *quote = 0;
        auto* attribute = new xml_NodeAttribute;
        attribute->name = p;
        attribute->value = value;
        (last ? last->next : node->firstAttribute) = attribute;
        last = attribute;
        p = quote + 1;
        if (p < end && !IsBlank(*p)) throw Str("invalid attribute syntax");
    }
    *nameEnd = 0;
    node->name = name;
}
