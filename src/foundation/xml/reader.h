// The pull reader of XML exports: xml_Tokenizer turns the file into tokens as the parser
// asks for them, and xml_ElementReader holds up to three enclosing elements open while it
// delivers each element below them as one complete xml_Element tree.
//
// Accepted: element names without prefix, attribute names with at most one prefix,
// attribute values in double quotes, the five named entities and numeric character
// references, and comments, processing instructions and declarations, which are skipped
// up to their first ">". Every run of white space in text reads as one blank; text is
// trimmed of blanks at both ends. Other bytes pass through unchanged, so UTF-8 stays UTF-8.
// Syntax errors are thrown as a Str message.
//
// The file is read in pieces of 16384 bytes into one buffer that the tokens point into;
// a token that crosses the end of a piece is completed from the next one, so where the
// lines of a file break changes nothing. Tags of the common form, and a leaf's plain
// text, that lie whole in the bytes read are taken straight from the buffer and the
// tokens take the rest; both read them alike. Memory holds the buffer, a few tokens of
// look-ahead and the one element tree being built. A tree handed back through Recycle
// lends its nodes, with the blocks of their names, texts and values, to the next trees,
// so reading a file costs the heap only as many nodes as its largest tree.
//
// One element's tree is bounded: each name, attribute and text run counts against
// xml_MaxTreeBytes as it is read, and past it reading stops with a message, so an
// element that could never become a record (a huge note, many large attributes, a whole
// export wrapped in one element) costs about that much memory and no more, whatever its
// size. No single token is longer than the bound either. A long text leaves the reader
// in the block it was gathered in, not as a copy.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "foundation/text/str.h"

class xml_Element;
struct xml_Attribute;

enum xml_TokenType {
    xml_OpenAngle = 0,
    xml_CloseAngle = 1,
    xml_Equals = 2,
    xml_Slash = 3,
    xml_Exclamation = 4,
    xml_Question = 5,
    xml_Quote = 6,
    xml_WhiteSpace = 7,
    xml_Identifier = 8,
    xml_Literal = 9,
    xml_EndOfFile = 10,
};

// The most one element's tree may take: the bytes of its names, texts, attribute names
// and values plus the size of each node. A job record holds 512 KiB at most, so the
// bound leaves a wide margin for every element that can become one.
inline constexpr int64_t xml_MaxTreeBytes = int64_t(64) << 20;

// The kind's name as error messages give it ("an identifier", "end-of-file", ...).
const char* xml_TokenTypeName(int type);
// The UTF-8 text (at most 4 bytes) of a complete reference "&...;" into out; throws a
// Str for a reference that is not one of the five entities or a character reference.
int xml_DecodeReference(const char* reference, int length, char* out);
// The same for a character reference "&#...;" (decimal, or hexadecimal after "x" or
// "X"): the UTF-8 encoding of its code point. A reference to 0 yields nothing; negative
// values, surrogates and values above U+10FFFF yield U+FFFD. Throws "badly formed hex
// reference: " + the reference for a byte that is no hexadecimal digit.
int xml_DecodeCharReference(const char* reference, int length, char* out);
// 0 to 15 for the digits 0-9, a-f and A-F; -1 for any other byte.
int xml_HexDigitValue(char c);

// Bytes of text being gathered. It grows through realloc, which moves a large block by
// remapping its pages rather than copying them, so a long text costs about its length
// while it grows; and a long text leaves as a Str without a copy.
class xml_TextBuffer {
public:
    xml_TextBuffer() = default;
    ~xml_TextBuffer() { std::free(_data); }
    xml_TextBuffer(const xml_TextBuffer&) = delete;
    xml_TextBuffer& operator=(const xml_TextBuffer&) = delete;

    size_t size() const { return _size; }
    const char* data() const { return _data; }
    char operator[](size_t i) const { return _data[i]; }
    void push_back(char c) {
        if (_size == _capacity) Grow(1);
        _data[_size++] = c;
    }
    void append(const char* bytes, size_t n) {
        // Nothing to add may meet a buffer that has no block yet.
        if (n == 0) return;
        if (_capacity - _size < n) Grow(n);
        std::memcpy(_data + _size, bytes, n);
        _size += n;
    }
    // Keeps the first n bytes.
    void resize(size_t n) {
        if (n < _size) _size = n;
    }
    // Moves the bytes [begin, end) into out and keeps the first `keep` bytes (keep <=
    // begin). A long text takes the block along, and the kept bytes get a new one.
    void MoveOut(size_t begin, size_t end, size_t keep, Str& out) {
        if (end - begin >= kLongText) return MoveOutLong(begin, end, keep, out);
        out.AssignBytes(_data + begin, static_cast<int>(end - begin));
        _size = keep;
    }

private:
    // A text at least this long leaves with the block rather than as a copy.
    static constexpr size_t kLongText = 1 << 16;

    void Grow(size_t n);
    void MoveOutLong(size_t begin, size_t end, size_t keep, Str& out);

    char* _data = nullptr;
    size_t _size = 0;
    size_t _capacity = 0;
};

// One token. An identifier's bytes stay in the tokenizer's buffer (at `offset`); every
// other kind keeps its text here: a decoded reference is at most one UTF-8 sequence.
struct xml_Token {
    int type = xml_EndOfFile;
    int32_t offset = 0;
    int32_t length = 0;
    char bytes[4] = {};
};

class xml_Tokenizer {
public:
    static constexpr int kPieceSize = 0x4000;

    xml_Tokenizer() = default;
    ~xml_Tokenizer();
    xml_Tokenizer(const xml_Tokenizer&) = delete;
    xml_Tokenizer& operator=(const xml_Tokenizer&) = delete;

    // False when the file cannot be opened or does not begin with "<?xml".
    bool Open(const Str& path);
    void Close();

    const xml_Token& Current() { return _ring[_head]; }
    // The type of the token `ahead` places after the current one.
    int Peek(int ahead) {
        // Mostly asked one token past a "<" that is all that is lexed: the first byte
        // tells the kind, and the fast paths want nothing lexed there.
        if (ahead == 1 && _count == 1) {
            const int type = kTypeOfFirstByte[static_cast<unsigned char>(_buffer[_scan])];
            if (type != kLexToTell) return type;
        }
        return PeekToken(ahead).type;
    }
    const xml_Token& PeekToken(int ahead);
    void Advance(int n) {
        // One step from a token other than the end: inline, as the parser takes most steps.
        if (n == 1 && _ring[_head].type != xml_EndOfFile)
            StepOne();
        else
            AdvanceChecked(n);
    }

    void SkipWhiteSpace();
    // Skips white space; throws "unexpected " + the kind found unless it is `type`;
    // steps past it.
    void Expect(int type) {
        // The expected token is current (nothing to skip): step past it inline.
        const int current = _ring[_head].type;
        if (current == type && type != xml_WhiteSpace && type != xml_EndOfFile)
            StepOne();
        else
            ExpectChecked(type);
    }
    // Throws "unexpected syntax" unless the current token is of `type`; does not move.
    const xml_Token& CheckCurrent(int type);
    void SkipUntil(int type);
    // White space, comments, processing instructions and declarations.
    void SkipMarkup() {
        // Mostly a tag is current already: nothing to skip.
        if (_ring[_head].type == xml_OpenAngle) {
            const int next = Peek(1);
            if (next != xml_Question && next != xml_Exclamation) return;
        }
        SkipMarkupFrom();
    }
    // Appends element text from the current token on, up to the next token that needs
    // decoding or a "<", exactly as the tokens would append it, and makes that token
    // current; false, with nothing done, when no text could be taken so.
    bool ReadPlainText(xml_TextBuffer& out);
    // Reads the next attribute of a start tag into the element: kAttributeRead, or
    // kNoAttribute at the tag's "/" or ">". kPastBudget, with nothing added, as soon as
    // the attribute's node, name and value pass `budget` bytes.
    enum { kNoAttribute, kAttributeRead, kPastBudget };
    int ReadAttribute(xml_Element* element, int64_t budget);
    // A start tag of the common form, <Name a="v" b="w"> or with "/>", taken straight
    // from the buffer: the current token is its "<" with nothing lexed past it, and the
    // whole tag lies in the bytes read, its attribute names without prefix and its values
    // without white space or references. False, with nothing done, for any other tag; the
    // tokens take it then. When true, the name is at TagName() until the next step.
    bool ScanPlainStartTag();
    const char* TagName() const { return _buffer + _tag.name; }
    int TagNameLength() const { return _tag.nameLength; }
    // What the scanned tag's attributes cost an element's tree: nodes, names and values.
    int64_t TagAttributeBytes() const { return _tag.attributeBytes; }
    // Adds the scanned tag's attributes to the element and steps past its ">"; true when
    // the element is complete: the tag closed itself ("/>"), or the element's plain text,
    // of at most textBudget bytes, and end tag followed whole and were taken too.
    bool TakePlainStartTag(xml_Element* element, int64_t textBudget);
    // Reads "</" + name + ">" straight from the buffer when the current token is the "<"
    // with nothing lexed past it and the end tag lies whole in the bytes read; false, with
    // nothing done, otherwise.
    bool ReadPlainEndTag(const Str& name);
    // Keeps an attribute (unlinked) for the next ReadAttributes, or deletes it.
    void RecycleAttribute(xml_Attribute* attribute);
    int GetPercent() const;

    // The current token's text as the parser takes it.
    const char* TextData(const xml_Token& token) const;
    void AppendText(const xml_Token& token, xml_TextBuffer& out) const;
    Str TextOf(const xml_Token& token) const { return Str(TextData(token), token.length); }
    bool TextEquals(const xml_Token& token, const Str& text) const;

private:
    static constexpr int kRing = 4;  // a power of two
    // The type of the token a byte begins, or kLexToTell: a reference, or a zero that
    // ends the bytes read or is an error.
    static constexpr unsigned char kLexToTell = 0xFF;
    static const std::array<unsigned char, 256> kTypeOfFirstByte;

    void StepOne() {
        _head = (_head + 1) & (kRing - 1);
        if (--_count == 0) AppendToken();
    }
    // Makes the token after the last one held, the next of the file, and holds it too.
    // A run of white space is one token, across pieces too, so white space never
    // follows white space.
    void AppendToken() {
        TokenizePiece(_ring[(_head + _count) & (kRing - 1)]);
        ++_count;
    }
    // Appends tokens until `ahead` follow the current one; false, reported, when the
    // end of the file comes first. Tokens stepped past are gone: their slots are reused.
    bool ReadMore(int ahead);
    void SkipMarkupFrom();
    void AdvanceChecked(int n);
    void ExpectChecked(int type);
    // Makes the token that starts at the bytes read, by the kind of its first byte,
    // reading the next piece of the file when they run out; the end-of-file token once
    // the file is exhausted.
    void TokenizePiece(xml_Token& token);
    void LexReference(xml_Token& token);
    // The quoted value (quotes dropped, blanks trimmed) into value; false, with value
    // unchanged, as soon as it passes `budget` bytes.
    bool ReadQuotedValue(Str& value, int64_t budget);
    // The closing quote of a plain value that starts at the current quote, or null.
    const char* PlainQuotedValueEnd() const;
    void StepPastQuote(const char* quote);
    // The end of the run of bytes of one kind that starts at _scan, within the buffer.
    int32_t SkipRun(int kind) const;
    // Makes at least `count` bytes available from _scan; false at the end of the file
    // with fewer available. Keeps every byte a live token points into.
    bool Fill(int count);
    [[noreturn]] void ThrowUnexpected(int type) const;
    xml_Attribute* NewAttribute();
    // Whether "/" + name + ">" lies whole in the bytes read from `slash` on.
    bool EndTagAt(const char* slash, const char* name, int length) const {
        return _end - (slash - _buffer) >= length + 2 && slash[0] == '/' && slash[length + 1] == '>' &&
               std::memcmp(slash + 1, name, static_cast<size_t>(length)) == 0;
    }

    static constexpr int kMaxTagAttributes = 16;
    // Offsets of a scanned start tag's parts in the buffer.
    struct TagSpans {
        int32_t name = 0;
        int32_t nameLength = 0;
        int32_t end = 0;  // past the ">"
        bool empty = false;
        int attributeCount = 0;
        int64_t attributeBytes = 0;
        struct {
            int32_t name, nameLength, value, valueLength;
        } attributes[kMaxTagAttributes];
    };

    // The token after a ">" just passed, as StepOne makes it.
    void StepTo(int32_t scan) {
        _scan = scan;
        _head = (_head + 1) & (kRing - 1);
        _count = 0;
        LexAfterTag(_ring[_head]);
        _count = 1;
    }
    // As TokenizePiece; white space up to a "<", and a "<", are told without its dispatch.
    void LexAfterTag(xml_Token& token);
    // Makes the "<" at _scan the token, as TokenizePiece does.
    void LexAngle(xml_Token& token) {
        _tokenStart = _scan++;
        token.type = xml_OpenAngle;
        token.bytes[0] = '<';
        token.length = 1;
    }

    std::FILE* _stream = nullptr;
    char* _streamBuffer = nullptr;  // the stream's, freed once it is closed
    int64_t _size = 0;
    int64_t _position = 0;  // bytes read from the file so far
    char* _buffer = nullptr;
    int32_t _capacity = 0;
    int32_t _scan = 0;  // next byte to tokenize
    int32_t _end = 0;   // end of the bytes read, always followed by a zero byte
    int32_t _tokenStart = 0;  // first byte of the token being made
    bool _exhausted = false;
    xml_Token _ring[kRing];
    int _head = 0;
    int _count = 0;
    xml_TextBuffer _scratch;
    TagSpans _tag;
    // Attributes of recycled trees, linked by next.
    xml_Attribute* _spareAttributes = nullptr;
    int _spareAttributeCount = 0;
};

class xml_ElementReader {
public:
    static constexpr int maxParsingReturnLevels = 3;
    static constexpr int maxDepth = 256;

    xml_ElementReader() = default;
    ~xml_ElementReader();
    xml_ElementReader(const xml_ElementReader&) = delete;
    xml_ElementReader& operator=(const xml_ElementReader&) = delete;

    // The path is UTF-8. False when the file cannot be opened or is not XML.
    bool Open(const Str& path);
    // Reads count nested start tags and holds their elements open; returns the innermost
    // element still open (owned by the reader), or null.
    xml_Element* Descend(int count);
    // The next element, whole, owned by the caller; null at an end tag or at the end of
    // the file at the top level.
    xml_Element* ReadElement();
    // The bytes counted against xml_MaxTreeBytes for the tree ReadElement last returned.
    int64_t TreeBytes() const { return _treeBytes; }
    // Takes back a tree that ReadElement returned, once the caller is done with it;
    // the tree must not be used afterwards. A null tree is ignored.
    void Recycle(xml_Element* element);
    // Reads the end tags of count held elements and deletes them; returns the innermost
    // element still held, or null.
    xml_Element* Ascend(int count);
    int GetPercent() const;
    // True when the file was read to its end with nothing open; always closes.
    bool Close();

private:
    xml_Element* Read();
    // A new tree starts: nothing of it counted yet.
    void BeginTree() {
        _treeBytes = 0;
        _treeText = _text.size();
        _treeRoot = nullptr;
    }
    // Counts bytes of the tree being read, with the text gathered for its open elements,
    // against xml_MaxTreeBytes.
    void ChargeTree(int64_t bytes) {
        _treeBytes += bytes;
        if (_treeBytes + static_cast<int64_t>(_text.size() - _treeText) > xml_MaxTreeBytes) ThrowTreeTooLarge();
    }
    // What the tree being read may still take.
    int64_t Budget() const {
        return xml_MaxTreeBytes - _treeBytes - static_cast<int64_t>(_text.size() - _treeText);
    }
    [[noreturn]] void ThrowTreeTooLarge() const;
    void ReadEndTag(const Str& name);
    xml_Element* HeldAtDepth() const;
    // An element of that name, from the recycled ones when there are any.
    xml_Element* NewElement(const char* name, int length);

    xml_Tokenizer* _tokenizer = nullptr;
    int _depth = -1;
    int _heldCount = 0;
    int _heldMode = 0;
    xml_Element* _held[maxParsingReturnLevels] = {};
    xml_TextBuffer _text;  // text runs of the open elements, innermost last
    int64_t _treeBytes = 0;        // counted of the tree being read, its pending text aside
    size_t _treeText = 0;          // where the tree's text runs start in _text
    const xml_Element* _treeRoot = nullptr;  // the tree's top element, while it is read
    // Elements of recycled trees, linked by nextSibling.
    xml_Element* _spareElements = nullptr;
    int _spareElementCount = 0;
};
