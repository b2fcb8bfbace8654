// The road file writer. A road file (".rxl", format 5.2) is UTF-8 text with CR LF line
// ends: the declaration line, then the root "QuorvelRoad" with the attributes version,
// product, productVersion, xmlns:xsi and xsi:schemaLocation in that order, holding
//
//   Name                       always, empty text for an empty name
//   Code                       only when not empty
//   StationInterval
//   HorizontalAlignment        StartStation, EndStation, then the chain's elements
//   HorizontalAlignmentPIs     StartPI, then the PIs
//   VerticalAlignment          StartStation, EndStation, then the vertical elements
//   TemplatePositioning        ApplyTemplates entries
//   SuperelevationAndWidening  ApplySuperelevation entries
//   StationEquations           ApplyStationEquation entries
//   TemplateRecord             one per template: Name, then its elements
//
// each list only when it holds something. Elements sit 4 blanks deeper per level; list
// blocks, template records and coordinates follow an empty line. Numbers below 1 in
// magnitude are fixed with 14 decimals trimmed, others 14 significant digits; null and
// non-finite numbers are empty text. Computed values (a PI's solution, key stations,
// cross sections) are not written.
//
// The file is written as a temporary beside the target, "<path>.tmp" or, when that name
// is taken, "<path>.1.tmp" and so on, created new, and moved over the target only once
// every byte is written and the file closed, so a failed write leaves the old file as it
// was and no partial one. Only the temporary the writer created is ever deleted.
#pragma once

#include "foundation/text/str.h"

class QuorvelRoad;
class file_Class;
class xmlout_element;

// The W3C XML Schema-instance namespace, the xmlns:xsi of every road file; built when
// the library loads, or on first use.
const Str& RXL_XsiNamespace();
// The road format's namespace and schema document, the xsi:schemaLocation.
const Str& RXL_SchemaLocation();

class RxlWriter {
public:
    explicit RxlWriter(const QuorvelRoad& road) : road(road) {}
    ~RxlWriter();
    RxlWriter(const RxlWriter&) = delete;
    RxlWriter& operator=(const RxlWriter&) = delete;

    // Creates the temporary file for the target; false, touching nothing, when the
    // target is read-only or the temporary cannot be created.
    bool Open(const Str& path);
    // The element tree of the road, replacing any earlier one.
    void BuildTree();
    // The declaration and the tree into the open temporary; true when every byte went.
    bool Write();
    // Open, BuildTree, Write, close and move into place; true when the whole file is
    // at the path. On failure the temporary is removed.
    bool WriteFile(const Str& path);

    static const char* GetVersion() { return "5.2"; }
    static const char* GetProduct() { return "Quorvel Zentrovane"; }
    static const char* GetProductVersion() { return "12.45"; }

    const xmlout_element* GetTree() const { return tree; }

private:
    // Closes and removes the temporary.
    void Discard();

    const QuorvelRoad& road;
    xmlout_element* tree = nullptr;
    file_Class* file = nullptr;
    Str target;
    Str temporary;
};
