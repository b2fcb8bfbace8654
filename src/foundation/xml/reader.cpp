#include "foundation/xml/reader.h"

#include <cstdlib>
#include <cstring>
#include <memory>

#include "foundation/environment.h"
#include "foundation/text/utf8.h"
#include "foundation/xml/element.h"
#include "platform/stream.h"

namespace {

constexpr const char* kModule = "Library/xml";
// A token longer than one element's tree may be could never be part of one.
constexpr int32_t kMaxBuffer = static_cast<int32_t>(xml_MaxTreeBytes);
constexpr size_t kStreamBuffer = 1 << 18;
// Recycled nodes kept at most, of each kind; beyond them they are deleted.
constexpr int kMaxSpareNodes = 4096;
// A recycled node keeps the blocks of its texts for the next tree, unless one is longer
// than this: a long text would otherwise stay with the node for the whole file.
constexpr int kMaxSpareBlock = 1 << 16;

void DropBlock(Str& text) { text = Str(); }

inline void DropLongBlock(Str& text) {
    if (text.BlockBytes() > kMaxSpareBlock) [[unlikely]]
        DropBlock(text);
}

enum ByteClass : unsigned char { kOther, kSpace, kName, kAmpersand, kPunctuation, kZero };

struct ByteTable {
    unsigned char kind[256];
    unsigned char punctuation[256];
    // Bytes that end a quoted value taken as it stands: the quote, white space, "&" and zero.
    bool valueStop[256];
    // Bytes that end a run of element text taken as it stands: "<", white space, "&" and zero.
    bool textStop[256];

    constexpr ByteTable() : kind(), punctuation(), valueStop(), textStop() {
        for (int c = 0; c < 256; ++c) {
            bool name = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                        c == '-' || c == '.' || c == '_' || c == 0xB2 || c == 0xB3 || c == 0xB9 ||
                        (c >= 0xC0 && c <= 0xD6) || (c >= 0xD8 && c <= 0xF6) || c >= 0xF8;
            kind[c] = name ? kName : kOther;
        }
        const auto at = [](char c) { return static_cast<unsigned char>(c); };
        kind[at('\n')] = kind[at('\r')] = kind[at('\t')] = kind[at(' ')] = kSpace;
        kind[at('&')] = kAmpersand;
        kind[0] = kZero;
        const char marks[] = "<>=/!?\"";
        for (int type = 0; type < 7; ++type) {
            kind[at(marks[type])] = kPunctuation;
            punctuation[at(marks[type])] = static_cast<unsigned char>(type);
        }
        for (int c = 0; c < 256; ++c) valueStop[c] = kind[c] == kSpace || kind[c] == kAmpersand || kind[c] == kZero;
        valueStop[at('"')] = true;
        for (int c = 0; c < 256; ++c) textStop[c] = valueStop[c];
        textStop[at('"')] = false;
        textStop[at('<')] = true;
    }
};

constexpr ByteTable kBytes;

inline unsigned char KindOf(char c) { return kBytes.kind[static_cast<unsigned char>(c)]; }

bool IsCSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Anything above the last code point reads as this, so long digit runs cannot overflow.
constexpr int64_t kTooLarge = 0x110000;

}  // namespace

int xml_HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

int xml_DecodeCharReference(const char* reference, int length, char* out) {
    if (!QZ_ASSERT_TEXT(length > 3, "reference.Length() > 3")) return 0;
    const char* p = reference + 2;
    const char* end = reference + length - 1;  // the ";"
    int64_t value = 0;
    bool negative = false;
    if (*p == 'x' || *p == 'X') {
        for (++p; p < end; ++p) {
            int digit = xml_HexDigitValue(*p);
            if (digit < 0) throw Str("badly formed hex reference: ") + Str(reference, length);
            value = value * 16 + digit;
            if (value > kTooLarge) value = kTooLarge;
        }
    } else {
        // As the C runtime's atoi reads it: white space, a sign, then digits.
        while (p < end && IsCSpace(*p)) ++p;
        if (p < end && (*p == '+' || *p == '-')) negative = *p++ == '-';
        for (; p < end && *p >= '0' && *p <= '9'; ++p) {
            value = value * 10 + (*p - '0');
            if (value > kTooLarge) value = kTooLarge;
        }
    }
    if (value == 0) return 0;
    char32_t c = static_cast<char32_t>(value);
    if (negative || value >= kTooLarge || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
    return utf8_Encode(c, out);
}

namespace {

// The text of a complete reference "&...;".
int DecodeReference(const char* reference, int length, char* out) {
    if (reference[1] == '#') return xml_DecodeCharReference(reference, length, out);
    static const struct {
        const char* name;
        char value;
    } entities[] = {{"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&apos;", '\''}, {"&quot;", '"'}};
    for (const auto& entity : entities) {
        if (std::strlen(entity.name) == static_cast<size_t>(length) &&
            std::memcmp(entity.name, reference, length) == 0) {
            out[0] = entity.value;
            return 1;
        }
    }
    throw Str("unrecognised ampersand sequence: ") + Str(reference, length);
}

[[noreturn]] void ThrowZeroByte() { throw Str("unexpected zero byte in XML text"); }

// The bound as messages give it: "64 MiB".
Str BoundText() { return string_FromInt(static_cast<int>(xml_MaxTreeBytes >> 20)) + " MiB"; }

}  // namespace

int xml_DecodeReference(const char* reference, int length, char* out) {
    return DecodeReference(reference, length, out);
}

const char* xml_TokenTypeName(int type) {
    static const char* const names[] = {"<", ">", "=", "/", "!", "?", "\"", "white space",
                                        "an identifier", "a literal", "end-of-file"};
    return type >= 0 && type <= xml_EndOfFile ? names[type] : "";
}

// ---- xml_TextBuffer ---------------------------------------------------------------

void xml_TextBuffer::Grow(size_t n) {
    size_t capacity = _capacity < 256 ? 256 : _capacity;
    while (capacity - _size < n) capacity *= 2;
    char* grown = static_cast<char*>(std::realloc(_data, capacity));
    if (!grown) throw Str("out of memory reading XML");
    _data = grown;
    _capacity = capacity;
}

void xml_TextBuffer::MoveOutLong(size_t begin, size_t end, size_t keep, Str& out) {
    const size_t length = end - begin;
    // The kept bytes (the text of enclosing elements) are few; the text is not.
    char* kept = static_cast<char*>(std::malloc(keep + 256));
    if (!kept) throw Str("out of memory reading XML");
    std::memcpy(kept, _data, keep);
    std::memmove(_data, _data + begin, length);
    // The text may fill the block: the realloc makes room for its zero.
    char* block = static_cast<char*>(std::realloc(_data, length + 1));
    if (!block) {
        std::free(kept);
        _size = 0;
        throw Str("out of memory reading XML");
    }
    block[length] = 0;
    out = Str::Adopt(block, static_cast<int>(length));
    _data = kept;
    _size = keep;
    _capacity = keep + 256;
}

// ---- xml_Tokenizer ----------------------------------------------------------------

xml_Tokenizer::~xml_Tokenizer() {
    Close();
    std::free(_buffer);
    while (_spareAttributes) {
        xml_Attribute* a = _spareAttributes;
        _spareAttributes = a->next;
        delete a;
    }
}

bool xml_Tokenizer::Open(const Str& path) {
    _stream = platform_OpenStream(path.Data(), "r");
    if (!_stream) return false;
    // The system is asked for many pieces at once: a call to it costs more than copying
    // a piece out of the stream's buffer. Without that buffer the stream reads as it would.
    _streamBuffer = static_cast<char*>(std::malloc(kStreamBuffer));
    if (_streamBuffer) std::setvbuf(_stream, _streamBuffer, _IOFBF, kStreamBuffer);
    if (std::fseek(_stream, 0, SEEK_END) == 0) {
        long size = std::ftell(_stream);
        _size = size > 0 ? static_cast<int64_t>(size) : 0;
    }
    std::fseek(_stream, 0, SEEK_SET);
    _capacity = 4 * kPieceSize;
    // One byte more than the capacity, for the zero that always follows the bytes read.
    _buffer = static_cast<char*>(std::malloc(_capacity + 1));
    if (_buffer) _buffer[0] = 0;
    if (!_buffer || !Fill(5) || std::memcmp(_buffer + _scan, "<?xml", 5) != 0) {
        Close();
        return false;
    }
    _head = 0;
    _count = 0;
    AppendToken();
    return true;
}

void xml_Tokenizer::Close() {
    if (_stream) std::fclose(_stream);
    _stream = nullptr;
    std::free(_streamBuffer);
    _streamBuffer = nullptr;
}

bool xml_Tokenizer::Fill(int count) {
    while (_end - _scan < count) {
        if (_exhausted || !_stream) return false;
        if (_capacity - _end < kPieceSize) {
            // Keep the token being made and every live token that points into the buffer.
            int32_t keep = _tokenStart;
            for (int i = 0; i < _count; ++i) {
                const xml_Token& t = _ring[(_head + i) & (kRing - 1)];
                if (t.type == xml_Identifier && t.offset < keep) keep = t.offset;
            }
            if (keep > 0) {
                std::memmove(_buffer, _buffer + keep, _end - keep);
                _end -= keep;
                _buffer[_end] = 0;
                _scan -= keep;
                _tokenStart -= keep;
                for (int i = 0; i < _count; ++i) {
                    xml_Token& t = _ring[(_head + i) & (kRing - 1)];
                    if (t.type == xml_Identifier) t.offset -= keep;
                }
            }
            if (_capacity - _end < kPieceSize) {
                // Only a single token longer than the buffer makes it grow, and no
                // further than the bound of one element's tree.
                if (_capacity >= kMaxBuffer) throw "XML token longer than " + BoundText();
                int32_t capacity = _capacity * 2;
                char* grown = static_cast<char*>(std::realloc(_buffer, capacity + 1));
                if (!grown) throw Str("out of memory reading XML");
                _buffer = grown;
                _capacity = capacity;
            }
        }
        size_t n = std::fread(_buffer + _end, 1, kPieceSize, _stream);
        _end += static_cast<int32_t>(n);
        _buffer[_end] = 0;
        _position += static_cast<int64_t>(n);
        if (n < static_cast<size_t>(kPieceSize)) _exhausted = true;
    }
    return true;
}

int32_t xml_Tokenizer::SkipRun(int kind) const {
    // The zero after the bytes read ends every run of spaces or name bytes.
    const char* p = _buffer + _scan;
    while (KindOf(*p) == kind) ++p;
    return static_cast<int32_t>(p - _buffer);
}

void xml_Tokenizer::TokenizePiece(xml_Token& token) {
    _tokenStart = _scan;
    if (_scan >= _end && !Fill(1)) {
        token.type = xml_EndOfFile;
        token.length = 0;
        return;
    }
    const char c = _buffer[_scan];
    switch (KindOf(c)) {
    case kSpace:
        // One token for the whole run, however many pieces it spans.
        do {
            _scan = SkipRun(kSpace);
        } while (_scan == _end && Fill(1));
        token.type = xml_WhiteSpace;
        token.bytes[0] = ' ';
        token.length = 1;
        break;
    case kName:
        do {
            _scan = SkipRun(kName);
        } while (_scan == _end && Fill(1));
        token.type = xml_Identifier;
        token.offset = _tokenStart;
        token.length = _scan - _tokenStart;
        break;
    case kAmpersand:
        LexReference(token);
        break;
    case kPunctuation:
        token.type = kBytes.punctuation[static_cast<unsigned char>(c)];
        token.bytes[0] = c;
        token.length = 1;
        ++_scan;
        break;
    case kZero:
        ThrowZeroByte();
    default:
        token.type = xml_Literal;
        token.bytes[0] = c;
        token.length = 1;
        ++_scan;
        break;
    }
}

void xml_Tokenizer::LexAfterTag(xml_Token& token) {
    // Between tags mostly the indentation of the next one, or nothing: the zero after the
    // bytes read is no "<", so a run that reaches it goes to TokenizePiece.
    const char* const start = _buffer + _scan;
    const char* p = start;
    while (KindOf(*p) == kSpace) ++p;
    if (*p != '<') {
        TokenizePiece(token);
    } else if (p == start) {
        LexAngle(token);
    } else {
        _tokenStart = _scan;
        _scan = static_cast<int32_t>(p - _buffer);
        token.type = xml_WhiteSpace;
        token.bytes[0] = ' ';
        token.length = 1;
    }
}

void xml_Tokenizer::LexReference(xml_Token& token) {
    // The ";" is looked for in the rest of the line, within one piece of the "&".
    const int limit = kPieceSize - 1;
    int k = 1;
    int restLength = 0;
    for (;; ++k) {
        if (k >= limit || (_scan + k >= _end && !Fill(k + 1))) {
            restLength = k < _end - _scan ? k : _end - _scan;
            break;
        }
        const char b = _buffer[_scan + k];
        if (b == ';') break;
        if (b == 0) ThrowZeroByte();
        if (b == '\n') {
            restLength = k + 1;
            break;
        }
    }
    if (restLength > 0)
        throw Str("ampersand sequence needs semicolon: ") + Str(_buffer + _scan, restLength);
    const int length = k + 1;
    const char* reference = _buffer + _scan;
    token.type = xml_Literal;
    token.length = DecodeReference(reference, length, token.bytes);
    _scan += length;
}

const char* xml_Tokenizer::TextData(const xml_Token& token) const {
    if (token.type == xml_Identifier) return _buffer + token.offset;
    return token.bytes;
}

void xml_Tokenizer::AppendText(const xml_Token& token, xml_TextBuffer& out) const {
    out.append(TextData(token), token.length);
}

bool xml_Tokenizer::TextEquals(const xml_Token& token, const Str& text) const {
    return token.length == text.Length() && std::memcmp(TextData(token), text.Data(), token.length) == 0;
}

const xml_Token& xml_Tokenizer::PeekToken(int ahead) {
    QZ_ASSERT(ahead > -1);
    if (ahead < 0) ahead = 0;
    if (ahead >= kRing) ahead = kRing - 1;
    if (_count <= ahead && !ReadMore(ahead)) return _ring[(_head + _count - 1) & (kRing - 1)];
    return _ring[(_head + ahead) & (kRing - 1)];
}

bool xml_Tokenizer::ReadMore(int ahead) {
    while (_count <= ahead) {
        if (_ring[(_head + _count - 1) & (kRing - 1)].type == xml_EndOfFile) return QZ_ASSERT_TEXT(false, "p");
        AppendToken();
    }
    return true;
}

namespace {

constexpr std::array<unsigned char, 256> FirstByteTypes(unsigned char lexToTell) {
    std::array<unsigned char, 256> types{};
    for (int c = 0; c < 256; ++c) {
        switch (kBytes.kind[c]) {
        case kSpace: types[c] = xml_WhiteSpace; break;
        case kName: types[c] = xml_Identifier; break;
        case kPunctuation: types[c] = kBytes.punctuation[c]; break;
        case kOther: types[c] = xml_Literal; break;
        default: types[c] = lexToTell; break;
        }
    }
    return types;
}

}  // namespace

constinit const std::array<unsigned char, 256> xml_Tokenizer::kTypeOfFirstByte = FirstByteTypes(kLexToTell);

void xml_Tokenizer::AdvanceChecked(int n) {
    if (!QZ_ASSERT(n > 0)) return;
    for (; n > 0; --n) {
        // Never past the end of the file.
        if (!QZ_ASSERT_TEXT(Current().type != xml_EndOfFile, "current")) return;
        _head = (_head + 1) & (kRing - 1);
        if (--_count == 0) AppendToken();
    }
}

void xml_Tokenizer::SkipWhiteSpace() {
    if (Current().type == xml_WhiteSpace) Advance(1);
}

void xml_Tokenizer::ThrowUnexpected(int type) const {
    throw Str("unexpected ") + xml_TokenTypeName(type);
}

void xml_Tokenizer::ExpectChecked(int type) {
    SkipWhiteSpace();
    if (Current().type != type) ThrowUnexpected(Current().type);
    Advance(1);
}

const xml_Token& xml_Tokenizer::CheckCurrent(int type) {
    if (Current().type != type) throw Str("unexpected syntax");
    return Current();
}

void xml_Tokenizer::SkipUntil(int type) {
    while (Current().type != type) {
        if (Current().type == xml_EndOfFile) ThrowUnexpected(xml_EndOfFile);
        Advance(1);
    }
}

void xml_Tokenizer::SkipMarkupFrom() {
    for (;;) {
        SkipWhiteSpace();
        if (Current().type != xml_OpenAngle) return;
        int next = Peek(1);
        if (next != xml_Question && next != xml_Exclamation) return;
        SkipUntil(xml_CloseAngle);
        Advance(1);
    }
}

// A value of plain bytes whose closing quote is already in the buffer needs no tokens:
// such bytes are the value as they stand (no blanks to fold or trim, no reference to
// decode). Anything else goes token by token.
const char* xml_Tokenizer::PlainQuotedValueEnd() const {
    if (_count != 1 || _ring[_head].type != xml_Quote) return nullptr;
    // The zero after the bytes read stops the scan where the buffer ends.
    const char* p = _buffer + _scan;
    while (!kBytes.valueStop[static_cast<unsigned char>(*p)]) ++p;
    return *p == '"' ? p : nullptr;
}

void xml_Tokenizer::StepPastQuote(const char* quote) {
    _scan = static_cast<int32_t>(quote + 1 - _buffer);
    // As Advance leaves it past the closing quote.
    _head = (_head + 1) & (kRing - 1);
    TokenizePiece(_ring[_head]);
}

bool xml_Tokenizer::ReadQuotedValue(Str& value, int64_t budget) {
    SkipWhiteSpace();
    if (const char* quote = PlainQuotedValueEnd()) {
        // Straight from the buffer, before the next token may move it.
        const char* const start = _buffer + _scan;
        if (quote - start > budget) return false;
        value.AssignBytes(start, static_cast<int>(quote - start));
        StepPastQuote(quote);
        return true;
    }
    Expect(xml_Quote);
    _scratch.resize(0);
    while (Current().type != xml_Quote) {
        if (Current().type == xml_EndOfFile) ThrowUnexpected(xml_EndOfFile);
        AppendText(Current(), _scratch);
        if (static_cast<int64_t>(_scratch.size()) > budget) return false;
        Advance(1);
    }
    Expect(xml_Quote);
    size_t end = _scratch.size();
    while (end > 0 && _scratch[end - 1] == ' ') --end;
    size_t begin = 0;
    while (begin < end && _scratch[begin] == ' ') ++begin;
    _scratch.MoveOut(begin, end, 0, value);
    return true;
}

// Element text read straight from the buffer, run by run, as the tokens would give it:
// the bytes of every token but white space as they stand, one blank for each run of
// white space. It starts at the current token and stops before a "<", a reference or a
// zero byte, or before a run that reaches the end of the bytes read (the run may go on
// in the next piece); the tokens take over from there.
bool xml_Tokenizer::ReadPlainText(xml_TextBuffer& out) {
    if (_count != 1) return false;
    const int type = _ring[_head].type;
    if (type == xml_OpenAngle || type == xml_EndOfFile) return false;
    if (type == xml_WhiteSpace && _buffer[_scan] == '<') {
        // Blanks before a tag: the "<" is the next token.
        out.push_back(' ');
        _head = (_head + 1) & (kRing - 1);
        LexAngle(_ring[_head]);
        return true;
    }
    const char* const start = _buffer + _tokenStart;
    const char* const end = _buffer + _end;
    const char* p = start;
    const char* taken = start;
    for (;;) {
        const char* run = p;
        if (KindOf(*p) == kSpace) {
            do ++p;
            while (KindOf(*p) == kSpace);
            if (p == end) break;
            out.push_back(' ');
        } else if (!kBytes.textStop[static_cast<unsigned char>(*p)]) {
            do ++p;
            while (!kBytes.textStop[static_cast<unsigned char>(*p)]);
            if (p == end) break;
            out.append(run, static_cast<size_t>(p - run));
        } else {
            break;
        }
        taken = p;
    }
    if (taken == start) return false;
    _scan = static_cast<int32_t>(taken - _buffer);
    _head = (_head + 1) & (kRing - 1);
    TokenizePiece(_ring[_head]);
    return true;
}

xml_Attribute* xml_Tokenizer::NewAttribute() {
    if (!_spareAttributes) return new xml_Attribute(Str(), Str());
    xml_Attribute* a = _spareAttributes;
    _spareAttributes = a->next;
    --_spareAttributeCount;
    a->next = nullptr;
    return a;
}

void xml_Tokenizer::RecycleAttribute(xml_Attribute* attribute) {
    if (!attribute) return;
    DropLongBlock(attribute->name);
    DropLongBlock(attribute->value);
    if (_spareAttributeCount >= kMaxSpareNodes) {
        delete attribute;
        return;
    }
    attribute->next = _spareAttributes;
    _spareAttributes = attribute;
    ++_spareAttributeCount;
}

int xml_Tokenizer::ReadAttribute(xml_Element* element, int64_t budget) {
    SkipWhiteSpace();
    if (Current().type == xml_Slash || Current().type == xml_CloseAngle) return kNoAttribute;
    const xml_Token& first = CheckCurrent(xml_Identifier);
    std::unique_ptr<xml_Attribute> attribute(NewAttribute());
    attribute->name.AssignBytes(TextData(first), first.length);
    const xml_Token& next = PeekToken(1);
    if (next.type == xml_Literal && next.length == 1 && next.bytes[0] == ':') {
        Expect(xml_Identifier);
        Expect(xml_Literal);
        attribute->name += ":";
        attribute->name += TextOf(CheckCurrent(xml_Identifier));
    }
    Expect(xml_Identifier);
    SkipWhiteSpace();
    Expect(xml_Equals);
    budget -= static_cast<int64_t>(sizeof(xml_Attribute)) + attribute->name.Length();
    if (budget < 0 || !ReadQuotedValue(attribute->value, budget)) {
        RecycleAttribute(attribute.release());
        return kPastBudget;
    }
    element->AddAttribute(attribute.release());
    return kAttributeRead;
}

bool xml_Tokenizer::ScanPlainStartTag() {
    if (_count != 1 || _ring[_head].type != xml_OpenAngle) return false;
    // The zero after the bytes read stops every run below: a tag that reaches it may go
    // on in the next piece, and the tokens take it.
    const char* p = _buffer + _scan;
    if (KindOf(*p) != kName) return false;
    const char* const name = p;
    do ++p;
    while (KindOf(*p) == kName);
    _tag.name = static_cast<int32_t>(name - _buffer);
    _tag.nameLength = static_cast<int32_t>(p - name);
    int count = 0;
    int64_t bytes = 0;  // of the attributes' names and values
    for (;;) {
        while (KindOf(*p) == kSpace) ++p;
        if (*p == '>') {
            _tag.empty = false;
            _tag.end = static_cast<int32_t>(p + 1 - _buffer);
            break;
        }
        if (*p == '/') {
            if (p[1] != '>') return false;
            _tag.empty = true;
            _tag.end = static_cast<int32_t>(p + 2 - _buffer);
            break;
        }
        if (KindOf(*p) != kName || count == kMaxTagAttributes) return false;
        auto& span = _tag.attributes[count++];
        const char* const attributeName = p;
        do ++p;
        while (KindOf(*p) == kName);
        span.name = static_cast<int32_t>(attributeName - _buffer);
        span.nameLength = static_cast<int32_t>(p - attributeName);
        while (KindOf(*p) == kSpace) ++p;
        if (*p != '=') return false;  // a prefix, or the end of the bytes read
        ++p;
        while (KindOf(*p) == kSpace) ++p;
        if (*p != '"') return false;
        const char* const value = ++p;
        while (!kBytes.valueStop[static_cast<unsigned char>(*p)]) ++p;
        if (*p != '"') return false;
        span.value = static_cast<int32_t>(value - _buffer);
        span.valueLength = static_cast<int32_t>(p - value);
        bytes += span.nameLength + span.valueLength;
        ++p;
    }
    _tag.attributeCount = count;
    _tag.attributeBytes = static_cast<int64_t>(count) * static_cast<int64_t>(sizeof(xml_Attribute)) + bytes;
    return true;
}

bool xml_Tokenizer::TakePlainStartTag(xml_Element* element, int64_t textBudget) {
    for (int i = 0; i < _tag.attributeCount; ++i) {
        const auto& span = _tag.attributes[i];
        std::unique_ptr<xml_Attribute> attribute(NewAttribute());
        attribute->name.AssignBytes(_buffer + span.name, span.nameLength);
        attribute->value.AssignBytes(_buffer + span.value, span.valueLength);
        element->AddAttribute(attribute.release());
    }
    if (!_tag.empty) {
        // A leaf whose text is one plain run (or none) and whose end tag follows whole:
        // the run is the text as it stands, nothing to fold, trim or decode.
        const char* const text = _buffer + _tag.end;
        const char* p = text;
        while (!kBytes.textStop[static_cast<unsigned char>(*p)]) ++p;
        const int length = _tag.nameLength;
        if (*p == '<' && p - text <= textBudget && EndTagAt(p + 1, _buffer + _tag.name, length)) {
            if (p != text) element->text.AssignBytes(text, static_cast<int>(p - text));
            StepTo(static_cast<int32_t>(p + length + 3 - _buffer));
            return true;
        }
    }
    StepTo(_tag.end);
    return _tag.empty;
}

bool xml_Tokenizer::ReadPlainEndTag(const Str& name) {
    if (_count != 1 || _ring[_head].type != xml_OpenAngle) return false;
    const int length = name.Length();
    const char* const p = _buffer + _scan;
    if (length == 0 || !EndTagAt(p, name.Data(), length)) return false;
    // A name longer than any token's own bytes is a whole identifier, and the ">" ends
    // the same one here. A shorter one may have been a decoded reference or a mark,
    // whose bytes would not lex as one identifier: the tokens compare those.
    if (length <= static_cast<int>(sizeof(xml_Token::bytes))) {
        for (int i = 1; i <= length; ++i)
            if (KindOf(p[i]) != kName) return false;
    }
    StepTo(_scan + length + 2);
    return true;
}

int xml_Tokenizer::GetPercent() const {
    if (_size <= 0) return 0;
    int64_t percent = _position * 100 / _size;
    return static_cast<int>(percent > 100 ? 100 : percent);
}

// ---- xml_ElementReader ------------------------------------------------------------

namespace {

// Held mode lasts exactly as long as Descend or Ascend runs, thrown or not.
struct HeldMode {
    explicit HeldMode(int& flag) : flag(flag) { flag = 1; }
    ~HeldMode() { flag = 0; }
    int& flag;
};

}  // namespace

xml_ElementReader::~xml_ElementReader() {
    for (xml_Element*& e : _held) {
        delete e;
        e = nullptr;
    }
    delete _tokenizer;
    while (_spareElements) {
        xml_Element* e = _spareElements;
        _spareElements = e->nextSibling;
        delete e;
    }
}

xml_Element* xml_ElementReader::NewElement(const char* text, int length) {
    if (!_spareElements) return new xml_Element(Str(text, length));
    xml_Element* e = _spareElements;
    _spareElements = e->nextSibling;
    --_spareElementCount;
    e->nextSibling = nullptr;
    // Cleared here rather than in Recycle: the node's first bytes are written now anyway.
    e->name.AssignBytes(text, length);
    e->text.AssignBytes(nullptr, 0);
    e->separated = false;
    return e;
}

void xml_ElementReader::Recycle(xml_Element* element) {
    if (!element) return;
    if (!_tokenizer) {
        delete element;
        return;
    }
    element->nextSibling = nullptr;
    xml_TakeApart(element, [this](xml_Element* e) {
        for (xml_Attribute* a = e->firstAttribute; a;) {
            xml_Attribute* next = a->next;
            _tokenizer->RecycleAttribute(a);
            a = next;
        }
        e->firstAttribute = e->lastAttribute = nullptr;
        DropLongBlock(e->name);
        DropLongBlock(e->text);
        if (_spareElementCount >= kMaxSpareNodes) {
            delete e;
            return;
        }
        e->nextSibling = _spareElements;
        _spareElements = e;
        ++_spareElementCount;
    });
}

bool xml_ElementReader::Open(const Str& path) {
    if (_tokenizer) return false;
    _tokenizer = new xml_Tokenizer;
    if (_tokenizer->Open(path)) return true;
    delete _tokenizer;
    _tokenizer = nullptr;
    return false;
}

xml_Element* xml_ElementReader::HeldAtDepth() const {
    return _depth >= 0 && _depth < maxParsingReturnLevels ? _held[_depth] : nullptr;
}

void xml_ElementReader::ReadEndTag(const Str& name) {
    xml_Tokenizer& t = *_tokenizer;
    if (!t.TextEquals(t.Current(), name))
        throw Str("closing tag mismatch: ") + name + " vs " + t.TextOf(t.Current());
    t.Advance(1);
    t.Expect(xml_CloseAngle);
    --_depth;
}

xml_Element* xml_ElementReader::Read() {
    xml_Tokenizer& t = *_tokenizer;
    t.SkipMarkup();
    if (_depth == -1 && t.Current().type == xml_EndOfFile) return nullptr;
    if (t.Current().type == xml_OpenAngle && t.Peek(1) == xml_Slash) {
        if (!_heldMode) return nullptr;
        t.Expect(xml_OpenAngle);
        t.Expect(xml_Slash);
        xml_Element* held = HeldAtDepth();
        if (!held) throw Str("unexpected closing tag: ") + t.TextOf(t.Current());
        ReadEndTag(held->name);
        return nullptr;
    }
    if (_depth + 1 >= maxDepth) throw Str("elements nested deeper than 256 levels");
    ++_depth;
    std::unique_ptr<xml_Element> element;
    if (t.ScanPlainStartTag()) {
        element.reset(NewElement(t.TagName(), t.TagNameLength()));
        if (!_treeRoot) _treeRoot = element.get();
        // Charged before the names and values are copied, and a plain text taken with the
        // tag only when it fits.
        ChargeTree(static_cast<int64_t>(sizeof(xml_Element)) + element->name.Length() + t.TagAttributeBytes());
        const bool complete = t.TakePlainStartTag(element.get(), Budget());
        _treeBytes += element->text.Length();  // within the budget
        if (complete) {
            --_depth;
            return element.release();
        }
    } else {
        t.Expect(xml_OpenAngle);
        const xml_Token& name = t.Current();
        element.reset(NewElement(t.TextData(name), name.length));
        if (!_treeRoot) _treeRoot = element.get();
        t.Advance(1);
        ChargeTree(static_cast<int64_t>(sizeof(xml_Element)) + element->name.Length());
        // Each attribute is charged as it is read, so many large ones stop at the bound.
        for (;;) {
            const int read = t.ReadAttribute(element.get(), Budget());
            if (read == xml_Tokenizer::kNoAttribute) break;
            if (read == xml_Tokenizer::kPastBudget) ThrowTreeTooLarge();
            const xml_Attribute* a = element->lastAttribute;
            ChargeTree(static_cast<int64_t>(sizeof(xml_Attribute)) + a->name.Length() + a->value.Length());
        }
        if (t.Current().type == xml_Slash) {
            t.Expect(xml_Slash);
            t.Expect(xml_CloseAngle);
            --_depth;
            return element.release();
        }
        t.Expect(xml_CloseAngle);
    }

    // The element's text runs go after those of its open ancestors.
    const size_t base = _text.size();
    for (;;) {
        while (t.Current().type != xml_OpenAngle) {
            if (!t.ReadPlainText(_text)) {
                if (t.Current().type == xml_EndOfFile) t.Expect(xml_OpenAngle);
                t.AppendText(t.Current(), _text);
                t.Advance(1);
            }
            ChargeTree(0);
        }
        if (t.Peek(1) == xml_Slash) break;
        if (_heldMode && _depth + 1 == _heldCount) {
            // Held open for the caller: its children come one by one later.
            _text.resize(base);
            return element.release();
        }
        xml_Element* child = Read();
        element->AddChild(child);
    }
    size_t end = _text.size();
    while (end > base && _text[end - 1] == ' ') --end;
    size_t begin = base;
    while (begin < end && _text[begin] == ' ') ++begin;
    if (begin < end) _text.MoveOut(begin, end, base, element->text);
    _text.resize(base);
    _treeBytes += element->text.Length();

    if (t.ReadPlainEndTag(element->name)) {
        --_depth;
        return element.release();
    }
    t.Expect(xml_OpenAngle);
    t.Expect(xml_Slash);
    ReadEndTag(element->name);
    return element.release();
}

xml_Element* xml_ElementReader::Descend(int count) {
    if (!QZ_ASSERT(count > 0) || !QZ_ASSERT(count <= maxParsingReturnLevels)) return HeldAtDepth();
    if (!QZ_ASSERT_TEXT(_heldCount + count <= maxParsingReturnLevels,
                        "heldCount + count <= maxParsingReturnLevels"))
        return HeldAtDepth();
    if (!_tokenizer) return nullptr;
    HeldMode held(_heldMode);
    for (int i = 0; i < count; ++i) {
        ++_heldCount;
        BeginTree();
        _held[_heldCount - 1] = Read();
    }
    return HeldAtDepth();
}

xml_Element* xml_ElementReader::ReadElement() {
    if (!_tokenizer) return nullptr;
    BeginTree();
    return Read();
}

void xml_ElementReader::ThrowTreeTooLarge() const {
    throw "element " + (_treeRoot ? _treeRoot->name : Str("?")) +
        " is larger than " + BoundText() + ", far more than a job record can hold";
}

xml_Element* xml_ElementReader::Ascend(int count) {
    if (!QZ_ASSERT(count > 0) || !QZ_ASSERT_TEXT(count <= _heldCount, "count <= heldCount")) return HeldAtDepth();
    if (!_tokenizer) return nullptr;
    HeldMode held(_heldMode);
    xml_Tokenizer& t = *_tokenizer;
    for (int i = 0; i < count; ++i) {
        --_heldCount;
        BeginTree();
        t.SkipMarkup();
        // Only the end tag may come next: children left unread are refused, not dropped.
        if (t.Current().type == xml_OpenAngle && t.Peek(1) != xml_Slash) {
            xml_Element* closing = _held[_heldCount];
            throw Str("unread element before the end tag of ") + (closing ? closing->name : Str());
        }
        Read();
        delete _held[_heldCount];
        _held[_heldCount] = nullptr;
    }
    return HeldAtDepth();
}

int xml_ElementReader::GetPercent() const { return _tokenizer ? _tokenizer->GetPercent() : 0; }

bool xml_ElementReader::Close() {
    if (!_tokenizer) return false;
    bool complete = false;
    try {
        _tokenizer->SkipWhiteSpace();
        complete = _tokenizer->Current().type == xml_EndOfFile && _depth == -1;
    } catch (const Str&) {
        // Whatever follows the last end tag is not part of a complete file.
    }
    _tokenizer->Close();
    delete _tokenizer;
    _tokenizer = nullptr;
    return complete;
}
