// The library's process-wide objects: what each holds right after load, and a host that
// loads and unloads the shared library several times.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <filesystem>
#include <memory>
#include <string>
#include <typeinfo>

#include "cogo/transfrm.h"
#include "foundation/environment.h"
#include "foundation/files/path.h"
#include "foundation/kernel/pccard.h"
#include "foundation/text/codepage.h"
#include "import/writejob.h"
#include "jobdb/dbindex.h"
#include "qzxmli.h"
#include "roads/roadquorvel_rxlwriter.h"
#include "roads/roadquorvel_template.h"
#include "roads/roadstationequations.h"
#include "support/fresh_process.h"
#include "support/temp_folder.h"

namespace {

bool IsFreshlyReset(const codepage_Table& table) {
    const auto reset = std::make_unique<codepage_Table>();
    for (int byte = 0; byte < 256; ++byte)
        if (table.IsLeadByte(static_cast<unsigned char>(byte)) != reset->IsLeadByte(static_cast<unsigned char>(byte)))
            return false;
    for (int unit = 0; unit < 65536; ++unit) {
        const auto u = static_cast<uint16_t>(unit);
        if (table.CodeToUnicode(u) != reset->CodeToUnicode(u) || table.UnicodeToCode(u) != reset->UnicodeToCode(u))
            return false;
    }
    return true;
}

FreshFailures ObjectsAsBuiltAtLoad() {
    FreshFailures failures;
    // First, before anything asks for it: the WGS-84 transform was made at load and
    // took the first id.
    int32_t error = 0;
    transfrm_Class* made =
        transfrm_Create(TRANSFRM_Ellipsoid, &coordsys_WGS84Ellipsoid, nullptr, nullptr, nullptr, nullptr, nullptr, 0,
                        &error);
    FRESH_CHECK(failures, made != nullptr && made->Id == 1);
    delete made;
    const transfrm_Class* wgs84 = transfrm_GetWGS84Transform();
    FRESH_CHECK(failures, wgs84->Id == 0);
    FRESH_CHECK(failures, wgs84->Components == TRANSFRM_Ellipsoid);
    FRESH_CHECK(failures, wgs84->LoadFlags == 0);
    FRESH_CHECK(failures, wgs84->Ellipsoid == coordsys_WGS84Ellipsoid);

    FRESH_CHECK(failures, PathMacroNames().Count() == 0);
    FRESH_CHECK(failures, PathMacroValues().Count() == 0);
    FRESH_CHECK(failures, ExtraOutputFiles().Count() == 0);
    FRESH_CHECK(failures, qzxmli_ExtraOutputFileCount() == 0);
    FRESH_CHECK(failures, IsFreshlyReset(codepage_Get()));
    FRESH_CHECK(failures, typeid(*Environment::Get()) == typeid(Environment));
    FRESH_CHECK(failures, pccard_ErrorModeSet());
    FRESH_CHECK(failures, pccard_OpenFileNames().Count() == 0);
    bool noIndex = true;
    for (const dbIndex* index : StaticIndexGlobals().IndexList) noIndex = noIndex && index == nullptr;
    FRESH_CHECK(failures, noIndex);
    FRESH_CHECK(failures, StaticIndexGlobals().NextInIndexList == 1);
    FRESH_CHECK(failures, road_GetNullStationEquationManager()->Count() == 0);
    FRESH_CHECK(failures, CrossSectionTemplate::Empty().Count() == 0);
    FRESH_CHECK(failures, CrossSectionTemplate::Empty().Name.IsEmpty());
    FRESH_CHECK(failures, RXL_XsiNamespace() == "http://www.w3.org/2001/XMLSchema-instance");
    FRESH_CHECK(failures, RXL_SchemaLocation() == "https://schemas.quorvel.invalid/road/5.2 "
                                                  "https://schemas.quorvel.invalid/road/5.2/QuorvelRoad.xsd");
    return failures;
}

TEST(ProcessObjectsTest, RightAfterLoadEachObjectHoldsItsInitialState) {
    EXPECT_IN_FRESH_PROCESS(ObjectsAsBuiltAtLoad);
}

#ifdef QZ_LIBRARY_FILE
std::string RoadHeader(const char* id, const char* name) {
    return std::string("<DATABASE_RoadHeaderRecord ID=\"") + id + "\"><RoadName>" + name +
           "</RoadName><HorzAlignment></HorzAlignment><VertAlignment></VertAlignment>"
           "<SectionInterval>20</SectionInterval><Deleted>false</Deleted></DATABASE_RoadHeaderRecord>\n";
}

const std::string kTwoRoads = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                              "<JOBFile product=\"Quorvel Zentrovane\" version=\"1245\">\n"
                              "<DATABASE_JobHeaderRecord TimeStamp=\"1\">Gnss</DATABASE_JobHeaderRecord>\n" +
                              RoadHeader("0x20", "North") + RoadHeader("0x21", "South") + "</JOBFile>\n";

struct LoadedLibrary {
    void* handle = dlopen(QZ_LIBRARY_FILE, RTLD_NOW | RTLD_LOCAL);
    using Import = int (*)(const char*, const char*, qzxmli_Progress);
    using Count = int (*)();
    using Name = void (*)(char16_t*, int);
    Import import = handle ? reinterpret_cast<Import>(dlsym(handle, "ImportQZXMLFile")) : nullptr;
    Count count = handle ? reinterpret_cast<Count>(dlsym(handle, "qzxmli_ExtraOutputFileCount")) : nullptr;
    Name name = handle ? reinterpret_cast<Name>(dlsym(handle, "qzxmli_GetExtraOutputFileName")) : nullptr;
};

bool IsLoaded() {
    void* handle = dlopen(QZ_LIBRARY_FILE, RTLD_NOW | RTLD_NOLOAD);
    if (handle) dlclose(handle);
    return handle != nullptr;
}

// Each unload destroys the objects and each load builds them anew: road file names left
// listed at unload are gone after the next load. The sanitizer build checks that nothing
// leaks and nothing destroyed is used on the way.
TEST(ProcessObjectsTest, AHostLoadsConvertsAndUnloadsTheLibraryRepeatedly) {
    ASSERT_FALSE(IsLoaded());
    TempFolder folder;
    const std::string xml = folder.Write("roads.xml", kTwoRoads);
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        LoadedLibrary library;
        ASSERT_NE(library.handle, nullptr) << dlerror();
        ASSERT_TRUE(library.import && library.count && library.name);
        EXPECT_EQ(library.count(), 0);
        const std::string jobs = folder / ("round" + std::to_string(round));
        std::filesystem::create_directory(jobs);
        EXPECT_EQ(library.import(xml.c_str(), (jobs + "/job.job").c_str(), nullptr), 0);
        EXPECT_EQ(library.count(), 2);
        char16_t buffer[260] = {};
        library.name(buffer, 0);
        EXPECT_NE(buffer[0], 0);
        EXPECT_EQ(library.count(), 2);  // only fetching the last empties the list
        EXPECT_EQ(dlclose(library.handle), 0);
        EXPECT_FALSE(IsLoaded());
    }
}
#endif

}  // namespace
