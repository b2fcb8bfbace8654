#include "foundation/xml/xmlout.h"

#include <algorithm>
#include <cstdint>

#include "foundation/environment.h"
#include "foundation/files/file.h"
#include "foundation/xml/format.h"

namespace {

constexpr const char* kModule = "Library/xmlout";
constexpr size_t kFlushSize = 0x10000;
// One file write at most; the file layer counts bytes in 32 bits.
constexpr size_t kWriteChunk = size_t{1} << 30;

void Indent(std::string& buffer, bool indent, int depth) {
    if (indent && depth > 0) buffer.append(static_cast<size_t>(depth) * 4, ' ');
}

void AppendStr(std::string& buffer, const Str& text) { buffer.append(text.Data(), static_cast<size_t>(text.Length())); }

void AppendEscaped(std::string& buffer, const Str& text) { AppendStr(buffer, xmlout_Escape(text.Data())); }

// " <!-- comment -->". A "--" inside would end the comment early and break the file, so
// dashes that would meet get a blank between them.
void AppendComment(std::string& buffer, const Str& comment) {
    if (comment.IsEmpty()) return;
    buffer += " <!-- ";
    char previous = 0;
    for (const char* p = comment.Data(); *p; ++p) {
        if (*p == '-' && previous == '-') buffer += ' ';
        buffer += *p;
        previous = *p;
    }
    buffer += " -->";
}

}  // namespace

Str xmlout_Escape(const char* text) { return xml_Escape(text); }

xmlout_element::xmlout_element(const char* name) : name(name) {}

xmlout_element::xmlout_element(const char* name, const Str& value) : name(name), value(value) {}

xmlout_element::xmlout_element(const char* name, const Str& value, const Str& comment)
    : name(name), value(value), comment(comment) {}

xmlout_element::~xmlout_element() {
    // The children are gathered into one work list and deleted one by one, so neither a
    // long sibling list nor a deep tree recurses; each still goes through its own destructor.
    xmlout_element* work = firstChild;
    firstChild = lastChild = nullptr;
    while (work) {
        xmlout_element* e = work;
        if (e->firstChild) {
            xmlout_element* last = e->firstChild;
            while (last->nextSibling) last = last->nextSibling;
            last->nextSibling = e->nextSibling;
            work = e->firstChild;
            e->firstChild = e->lastChild = nullptr;
        } else {
            work = e->nextSibling;
        }
        e->nextSibling = nullptr;
        delete e;
    }
}

void xmlout_element::AddAttribute(const Str& name, const Str& value) {
    attributeText += " ";
    attributeText += name;
    attributeText += "=\"";
    attributeText += xmlout_Escape(value.Data());
    attributeText += "\"";
}

void xmlout_element::AddChild(xmlout_element* child) {
    if (!child) return;
    if (!firstChild) {
        firstChild = lastChild = child;
        return;
    }
    if (!QZ_ASSERT(this->lastChild)) {
        // Recover the end of the list rather than lose the children already there.
        lastChild = firstChild;
        while (lastChild->nextSibling) lastChild = lastChild->nextSibling;
    }
    lastChild->nextSibling = child;
    lastChild = child;
}

void xmlout_FlushBuffer(file_Class* file, std::string& buffer) {
    if (!file) return;
    // A failed write is reported by the file layer; the text is dropped all the same.
    for (size_t done = 0; done < buffer.size();) {
        const size_t n = std::min(kWriteChunk, buffer.size() - done);
        file->Write(buffer.data() + done, static_cast<uint32_t>(n));
        done += n;
    }
    buffer.clear();
}

void xmlout_FlushIfLarge(file_Class* file, std::string& buffer) {
    if (buffer.size() > kFlushSize) xmlout_FlushBuffer(file, buffer);
}

void xmlout_WriteElement(const xmlout_element* element, file_Class* file, bool indent, int depth,
                         std::string& buffer) {
    if (!element) return;
    if (indent) {
        if (element->separated) buffer += "\r\n";
        Indent(buffer, indent, depth);
    }
    buffer += '<';
    AppendStr(buffer, element->name);
    AppendStr(buffer, element->attributeText);
    const bool hasValue = !element->value.IsEmpty();
    if (!hasValue && !element->firstChild) {
        buffer += "/>";
    } else if (hasValue && !element->firstChild && !element->separated) {
        buffer += '>';
        AppendEscaped(buffer, element->value);
        buffer += "</";
        AppendStr(buffer, element->name);
        buffer += '>';
    } else {
        buffer += ">\r\n";
        if (hasValue) {
            Indent(buffer, indent, depth + 1);
            AppendEscaped(buffer, element->value);
            buffer += "\r\n";
        }
        for (const xmlout_element* child = element->firstChild; child; child = child->nextSibling)
            xmlout_WriteElement(child, file, indent, depth + 1, buffer);
        Indent(buffer, indent, depth);
        buffer += "</";
        AppendStr(buffer, element->name);
        buffer += '>';
    }
    AppendComment(buffer, element->comment);
    buffer += "\r\n";
    xmlout_FlushIfLarge(file, buffer);
}
