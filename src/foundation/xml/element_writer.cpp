#include "foundation/xml/element_writer.h"

#include "foundation/files/file.h"
#include "foundation/xml/element.h"
#include "foundation/xml/format.h"

namespace {

constexpr size_t kFlushSize = 0x10000;

void Indent(std::string& buffer, bool indent, int depth) {
    if (indent && depth > 0) buffer.append(static_cast<size_t>(depth) * 4, ' ');
}

void AppendEscaped(std::string& buffer, const Str& text) {
    Str escaped = xml_Escape(text.Data());
    buffer.append(escaped.Data(), static_cast<size_t>(escaped.Length()));
}

}  // namespace

void xml_FlushText(file_Class* file, std::string& buffer) {
    // A failed write is reported by the file layer; writing goes on.
    if (file && !buffer.empty()) file->Write(buffer.data(), static_cast<uint32_t>(buffer.size()));
    buffer.clear();
}

void xml_FlushIfLarge(file_Class* file, std::string& buffer) {
    if (buffer.size() > kFlushSize) xml_FlushText(file, buffer);
}

void xml_WriteElement(const xml_Element* element, file_Class* file, bool indent, int depth, std::string& buffer,
                      xml_WriteCallback callback, int callbackDepth) {
    if (!element) return;
    if (indent) {
        if (element->separated) buffer += "\r\n";
        Indent(buffer, indent, depth);
    }
    buffer += '<';
    buffer += element->name.Data();
    for (const xml_Attribute* a = element->firstAttribute; a; a = a->next) {
        buffer += ' ';
        buffer += a->name.Data();
        buffer += "=\"";
        AppendEscaped(buffer, a->value);
        buffer += '"';
    }
    const bool hasText = !element->text.IsEmpty();
    if (!hasText && !element->firstChild) {
        buffer += "/>\r\n";
    } else if (hasText && !element->firstChild && !element->separated) {
        buffer += '>';
        AppendEscaped(buffer, element->text);
        buffer += "</";
        buffer += element->name.Data();
        buffer += ">\r\n";
    } else {
        buffer += ">\r\n";
        if (hasText) {
            Indent(buffer, indent, depth + 1);
            AppendEscaped(buffer, element->text);
            buffer += "\r\n";
        }
        for (const xml_Element* child = element->firstChild; child; child = child->nextSibling) {
            if (callback && depth == callbackDepth) callback();
            xml_WriteElement(child, file, indent, depth + 1, buffer, callback, callbackDepth);
        }
        Indent(buffer, indent, depth);
        buffer += "</";
        buffer += element->name.Data();
        buffer += ">\r\n";
    }
    xml_FlushIfLarge(file, buffer);
}

void xml_WriteElementAt(const xml_Element* element, file_Class* file, bool indent, int depth,
                        xml_WriteCallback callback, int callbackDepth) {
    std::string buffer;
    xml_WriteElement(element, file, indent, depth, buffer, callback, callbackDepth);
    xml_FlushText(file, buffer);
}

void xml_WriteElementFile(const xml_Element* element, file_Class* file, bool indent, xml_WriteCallback callback,
                          int callbackDepth) {
    xml_WriteElementAt(element, file, indent, 0, callback, callbackDepth);
}
