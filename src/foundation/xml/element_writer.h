// Writes an xml_Element tree as indented XML text into a file: four blanks per level,
// CR LF line ends, attribute values and texts escaped, names as they stand. The text is
// gathered in a buffer that goes to the file whenever it holds more than 64 KiB after
// an element has been finished, and at the end.
#pragma once

#include <string>

class file_Class;
class xml_Element;

// Called before each child of every element at the callback depth (a progress hook).
using xml_WriteCallback = void (*)();

void xml_WriteElementFile(const xml_Element* element, file_Class* file, bool indent, xml_WriteCallback callback,
                          int callbackDepth);
void xml_WriteElementAt(const xml_Element* element, file_Class* file, bool indent, int depth,
                        xml_WriteCallback callback, int callbackDepth);
void xml_WriteElement(const xml_Element* element, file_Class* file, bool indent, int depth, std::string& buffer,
                      xml_WriteCallback callback, int callbackDepth);
// Writes the buffer when it holds more than 65536 bytes.
void xml_FlushIfLarge(file_Class* file, std::string& buffer);
// Writes what the buffer holds and empties it.
void xml_FlushText(file_Class* file, std::string& buffer);
