// The conversion export: one whole conversion of an XML job export into a new job file.
//
// A conversion reads the export one top-level element at a time. Elements before the
// job header element are skipped; the job header element creates the job file; every
// later element goes to the job writer's dispatcher. After the last element the road
// files are written, the references between records resolved and the job closed.
// Failures travel as thrown Str messages and end here as a result code; no message
// and no exception leaves the library.
#include <algorithm>
#include <memory>

#include "cogo/transfrm.h"
#include "foundation/files/file.h"
#include "foundation/files/filesearch.h"
#include "foundation/files/filesys.h"
#include "foundation/files/path.h"
#include "foundation/text/number.h"
#include "foundation/xml/element.h"
#include "foundation/xml/reader.h"
#include "import/writejob.h"
#include "jobdb/dbJob.h"
#include "jobdb/dbjournal.h"
#include "platform/lock.h"
#include "qzxmli.h"

namespace {

enum ImportResult : int {
    IMPORT_Done = 0,
    IMPORT_Cancelled = 1,
    IMPORT_Failed = 2,
    IMPORT_BadInput = 4,
    IMPORT_NotCreated = 5,
};

bool IsJobHeaderElement(const xml_Element* element) {
    return element->name == "DATABASE_JobHeaderRecord" || element->name == "DATABASE_JobRecord";
}

// One conversion. The job file is deleted on failure only when this conversion created
// it: a file that already stood at the job path is never touched. Likewise the job's
// folders: only those this conversion made go again when it fails, and only while empty.
class Conversion {
public:
    Conversion(const Str& xmlPath, const Str& jobPath, qzxmli_Progress progress)
        : _XmlPath(xmlPath), _JobPath(jobPath), _Progress(progress) {}
    ~Conversion() { Abandon(); }

    int Run();
    // Closes what is open and deletes the job file and the folders this conversion created.
    void Abandon();
    int PresetResult() const { return _Preset; }

private:
    // False when the job file could not be created.
    bool CreateJob(const xml_Element* element, const Str& product, int version);

    Str _XmlPath;
    Str _JobPath;
    qzxmli_Progress _Progress;
    xml_ElementReader _Reader;
    std::unique_ptr<JobDatabase> _Job;
    std::unique_ptr<JobWriter> _Writer;
    bool _JobOpen = false;
    bool _JobCreated = false;
    // The folders of the job path that this conversion made, outermost first.
    StrArray _MadeFolders;
    int _Preset = IMPORT_Done;
};

bool Conversion::CreateJob(const xml_Element* element, const Str& product, int version) {
    db_JobHeader& header = _Job->GetJobHeader();
    writejob_ReadTimeStamp(element, &header);
    header.SetNotes(writejob_ReadNotes(element, "Note"));
    writejob_CheckTextLength("job name", element->text.Length());
    // The missing folders are made here rather than by the file's creation, so that the
    // conversion knows which are its own.
    const Str folder = path_GetDirectory(file_Class(_JobPath).GetFullPath());
    if (!folder.IsEmpty()) filesys_MakeDirectoryTree(folder, &_MadeFolders);
    if (!_Job->Create(_JobPath, element->text, true)) return false;
    _JobCreated = true;
    _JobOpen = true;
    // Nothing reads the new file before it closes, and the close waits for every device
    // flush: they need not hold up the conversion.
    _Job->GetAccess()->GetJournal().DeferDeviceFlushes();
    _Job->GetAccess()->SetAutoGroup();
    _Writer = std::make_unique<JobWriter>(_Job.get(), product, version);
    return true;
}

int Conversion::Run() {
    if (!_Reader.Open(_XmlPath)) {
        _Preset = IMPORT_BadInput;
        throw _XmlPath + " does not exist or is not an XML file";
    }
    Str product;
    int version = 0;
    if (const xml_Element* root = _Reader.Descend(1)) {
        const Str productText = root->GetAttributeText("product");
        if (!productText.IsEmpty()) product = productText;
        const Str versionText = root->GetAttributeText("version");
        if (!versionText.IsEmpty()) version = number_Atoi(versionText.Data());
    }
    _Job = std::make_unique<JobDatabase>();

    // One thread: the trees are converted while still in this core's cache (built on
    // another core, every node would cross between the cores, which costs more than the
    // tokenising saves).
    while (true) {
        std::unique_ptr<xml_Element> element(_Reader.ReadElement());
        if (!element) break;
        if (_Writer) {
            // A record too long for the journal is refused at the commit, after the job
            // has copied it; an element larger than any record has its records measured
            // before.
            _Job->GetAccess()->CheckLengthsFirst(_Reader.TreeBytes() > static_cast<int64_t>(DBJOURNAL_MaxRecordLength));
            _Writer->WriteElement(element.get());
            // Between elements no handler holds a record: what the element superseded
            // (previous feature sets, measurements, replaced records) can go now rather
            // than at the close.
            _Job->GetAccess()->PurgeSuperseded();
            // A write that failed (a full disk) has already lost part of the job: the
            // conversion ends there rather than reading the rest of the export.
            if (_Job->GetAccess()->GetJournal().HasWriteFailed()) throw Str("the job file could not be written");
        } else if (IsJobHeaderElement(element.get())) {
            if (!CreateJob(element.get(), product, version)) {
                _Reader.Close();
                Abandon();
                _Job.reset();
                return IMPORT_NotCreated;
            }
        }
        // Its nodes make the next elements.
        _Reader.Recycle(element.release());
        // 100 is kept for a conversion that has finished.
        if (_Progress && !_Progress(std::min(_Reader.GetPercent(), 99))) {
            _Reader.Close();
            Abandon();
            return IMPORT_Cancelled;
        }
    }

    if (_Writer) {
        _Writer->roadSet.SetDirectory(writejob_RoadFileDirectory(_JobPath));
        _Writer->roadSet.WriteRoadFiles();
    }
    _Reader.Ascend(1);
    if (!_Reader.Close()) {
        _Preset = IMPORT_BadInput;
        throw Str("end of file was not processed");
    }
    if (!_Writer) {
        _Preset = IMPORT_BadInput;
        throw Str("could not find element named DATABASE_JobHeaderRecord or DATABASE_JobRecord");
    }
    _Writer->FixDatabasePointers();
    _JobOpen = false;
    // A journal that did not reach the file is a lost job, not a finished one.
    if (!_Job->Close()) throw Str("the job file could not be written");
    if (_Progress) _Progress(100);
    _Writer.reset();
    _JobCreated = false;
    _MadeFolders.Clear();
    return IMPORT_Done;
}

void Conversion::Abandon() {
    if (_JobOpen) {
        _JobOpen = false;
        _Job->Close();
    }
    _Writer.reset();
    if (_JobCreated) {
        _JobCreated = false;
        filesys_DeleteFile(_JobPath);
    }
    filesys_RemoveMadeDirectories(_MadeFolders);
    _MadeFolders.Clear();
}

}  // namespace

Str writejob_RoadFileDirectory(const Str& jobPath) {
    // A host here may use either separator.
    const int slash = jobPath.FindLastChar('/');
    const int backslash = jobPath.FindLastChar('\\');
    int last = -1;
    if (slash < jobPath.Length()) last = slash;
    if (backslash < jobPath.Length() && backslash > last) last = backslash;
    return last < 0 ? Str() : jobPath.Left(last + 1);
}

namespace {

int Convert(const char* xmlPath, const char* jobPath, qzxmli_Progress progress) {
    dirs_RegisterPathMacros();
    transfrm_Register();
    // The paths are not re-encoded: a file here is named by its bytes, valid UTF-8 or
    // not. Only the path rules (macros, '\' a separator) apply, where the files are
    // opened and created.
    const Str xmlFile(xmlPath ? xmlPath : "");
    const Str jobFile(jobPath ? jobPath : "");
    Conversion conversion(xmlFile, jobFile, progress);
    try {
        return conversion.Run();
    } catch (const Str&) {
        conversion.Abandon();
        return conversion.PresetResult() != IMPORT_Done ? conversion.PresetResult() : IMPORT_Failed;
    }
}

}  // namespace

extern "C" {

int ImportQZXMLFile(const char* xmlPath, const char* jobPath, qzxmli_Progress progress) {
    // A conversion started from the progress callback of another would share its
    // process-wide state on the same thread.
    thread_local bool converting = false;
    if (converting) return IMPORT_Failed;
    // Conversions on other threads wait: the process-wide tables serve one at a time.
    platform_Hold hold(writejob_ConversionLock());
    converting = true;
    int result = IMPORT_Failed;
    // Nothing thrown, whatever its kind, may cross into the host.
    try {
        result = Convert(xmlPath, jobPath, progress);
    } catch (...) {
    }
    converting = false;
    return result;
}

}  // extern "C"
