// The file list, image and camera elements: the stake-out list (which in older exports
// also carries the job's attached files), the attached and background file lists, and
// the image and camera records of imaging instruments.
//
// A file list holds 256 slots. An entry goes to the slot its "index" names (decimal, an
// empty index is slot 0); a later entry for a slot replaces the earlier one. An index
// outside 0..255 fails the element. Only the entries present are read, whatever count
// the export gives, and the list's count is the number of slots filled: a larger count
// would make the job's own reader find the record damaged.
#include <memory>

#include "foundation/text/number.h"
#include "foundation/xml/element.h"
#include "import/writejob.h"
#include "import/writejob_handler.h"
#include "records/imaging.h"
#include "records/lists.h"
#include "vocabulary/dbField.h"

namespace {

int SlotOf(const Str& index) {
    const int32_t slot = number_Atoi(index.Data());
    if (slot < 0 || slot >= dbrecord_Slots<Str>::Size) throw "file slot index out of range: " + index;
    return slot;
}

// The "item" names under listName with their indexes: at most count of them (the count
// as the export gives it), each into the slot of its index.
template <class T, class Make>
void ReadIndexedItems(const xml_Element* element, const char* listName, int32_t count, dbrecord_Slots<T>& slots,
                      Make make) {
    StrArray names;
    StrArray indexes;
    writejob_ReadStringList(element, listName, names, &indexes);
    for (int i = 0; i < count && i < names.Count(); ++i) {
        const int slot = SlotOf(indexes[i]);  // may throw: before the entry is made
        slots.Set(slot, make(names[i]));
    }
}

}  // namespace

int64_t writejob_ReadCalibDate64(const xml_Element* element, writejob_ChildName childName) {
    const xml_Element* child = element->FindChild(childName.View());
    if (!child || child->text.IsEmpty()) return 0;
    int64_t value = 0;
    number_ScanInt64(child->text.Data(), &value);
    // Only the low 32 bits count.
    return static_cast<int64_t>(static_cast<uint32_t>(static_cast<uint64_t>(value)));
}

void JobWriter::WriteStakeoutList(const xml_Element* element) {
    // The list of point ids itself has no children in an export: it is stored empty.
    db_StakeoutList list;
    list.SetNotes(writejob_ReadNotes(element, "Note"));
    writejob_CheckRecAttribute(element, "db_StakeoutList");
    StoreRecord(element, &list);
    if (!IsVersionBefore(1240, 600)) return;

    // Older exports carry the attached files here. The second record takes the element's
    // ID as well, so later references to it resolve to the files.
    db_AttachedFilesList files;
    const int32_t count = writejob_ReadHexOrDecimal(element, "FilenameCount");
    ReadIndexedItems(element, "Filenames", count, files.Files,
                     [](const Str& name) { return new dbrecord_AttachedFile(name); });
    files.FileCount = static_cast<uint32_t>(files.Files.Occupied());
    StoreRecord(element, &files);
}

void JobWriter::WriteAttachedFiles(const xml_Element* element) {
    writejob_WriteRecord<db_AttachedFilesList>(*this, element, "db_AttachedFilesList", [&](auto& record) {
        writejob_ReadHexOrDecimal(element, "FileCount");  // a bad count still fails the element
        if (const xml_Element* list = element->FindChild("Files")) {
            for (const xml_Element* file = list->FindChild("File"); file && file->name == "File";
                 file = file->nextSibling) {
                std::unique_ptr<dbrecord_AttachedFile> entry(
                    new dbrecord_AttachedFile(writejob_ReadString(file, "Filename")));
                entry->CoordType = load_optional_coord_Type(file, "CoordType", 4);
                entry->LocalReferenceTransform = writejob_ReadString(file, "LocalReferenceTransform");
                // An entry without a slot is dropped.
                const xml_Attribute* index = file->FindAttribute("index");
                if (!index) continue;
                const int slot = SlotOf(index->value);
                record.Files.Set(slot, entry.release());
            }
        }
        record.FileCount = static_cast<uint32_t>(record.Files.Occupied());
    });
}

void JobWriter::WriteBackgroundFileList(const xml_Element* element) {
    writejob_WriteRecord<db_BackgroundFileList>(*this, element, "db_BackgroundFileList", [&](auto& record) {
        const int32_t count = writejob_ReadHexOrDecimal(element, "FilenameCount");
        ReadIndexedItems(element, "Filenames", count, record.Filenames, [](const Str& name) { return new Str(name); });
        record.FilenameCount = static_cast<uint32_t>(record.Filenames.Occupied());
    });
}

void JobWriter::WriteImage(const xml_Element* element) {
    writejob_WriteRecord<db_Image>(*this, element, "db_Image", [&](auto& record) {
        record.StationID = writejob_ReadReference(element, "StationID");
        record.BackBearingID = writejob_ReadReference(element, "BackBearingID");
        record.CameraID = writejob_ReadReference(element, "CameraID");
        record.PointRecordID = writejob_ReadReference(element, "PointRecordID");
        record.FileName = writejob_ReadString(element, "FileName");
        record.HorizontalAngle = writejob_ReadDouble(element, "HorizontalAngle");
        record.VerticalAngle = writejob_ReadDouble(element, "VerticalAngle");
        record.Width = writejob_ReadInt(element, "Width");
        record.Height = writejob_ReadInt(element, "Height");
        record.SourceX = writejob_ReadInt(element, "SourceX");
        record.SourceY = writejob_ReadInt(element, "SourceY");
        record.SourceWidth = writejob_ReadInt(element, "SourceWidth");
        record.SourceHeight = writejob_ReadInt(element, "SourceHeight");
    });
}

void JobWriter::WriteCamera(const xml_Element* element) {
    writejob_WriteRecord<db_Camera>(*this, element, "db_Camera", [&](auto& record) {
        CameraCalibration& c = record.Calibration;
        c.CalibDate64 = writejob_ReadCalibDate64(element, "CalibDate64");
        double* const parameters[] = {&c.X0, &c.Y0, &c.CK, &c.Kappa, &c.Phi, &c.Omega, &c.S0, &c.C0, &c.Z0, &c.I};
        const char* const names[] = {"X0", "Y0", "CK", "Kappa", "Phi", "Omega", "S0", "C0", "Z0", "I"};
        for (int i = 0; i < 10; ++i) *parameters[i] = writejob_ReadDouble(element, names[i]);
        // 16-bit members keep the low 16 bits of the value read.
        c.K1 = static_cast<int16_t>(writejob_ReadInt(element, "K1"));
        c.P1 = static_cast<int16_t>(writejob_ReadInt(element, "P1"));
        c.P2 = static_cast<int16_t>(writejob_ReadInt(element, "P2"));
        c.PixelSizeX = writejob_ReadDouble(element, "PixelSizeX");
        c.PixelSizeY = writejob_ReadDouble(element, "PixelSizeY");
        c.PixelCountX = static_cast<uint16_t>(writejob_ReadInt(element, "PixelCountX"));
        c.PixelCountY = static_cast<uint16_t>(writejob_ReadInt(element, "PixelCountY"));
        c.ErrMeas = writejob_ReadDouble(element, "ErrMeas");
        c.CalibType = static_cast<uint16_t>(writejob_ReadHexOrDecimal(element, "CalibType"));
        c.UpdateDerived();
        c.isCalibrated = writejob_ReadBool(element, "isCalibrated");
    });
}
