// The library's process-wide objects, built in one fixed order when the library loads
// and destroyed in exactly the reverse order when it unloads.
//
// Each object is a function-level static behind its accessor in its own module, never a
// namespace-scope object with a dynamic initialiser: the order in which translation
// units run those is unspecified, and building the WGS-84 transform already runs the
// coordinate-system engine. The one initialiser below calls the accessors in order;
// the runtime registers each destructor as its object is built, so unload destroys the
// function-level statics first used later, then these in reverse. Objects without a
// destructor, and the timer's lock, which a late clock call may still need, are never
// destroyed.
//
// Every target that links the import pulls this unit in (see CMakeLists.txt), the
// shared library and the test programs alike.
#include "cogo/transfrm.h"
#include "foundation/coords/coordsys.h"
#include "foundation/environment.h"
#include "foundation/files/path.h"
#include "foundation/kernel/clock.h"
#include "foundation/kernel/pccard.h"
#include "foundation/text/codepage.h"
#include "import/writejob.h"
#include "jobdb/dbindex.h"
#include "roads/roadcogo.h"
#include "roads/roadquorvel_road.h"
#include "roads/roadquorvel_rxlwriter.h"
#include "roads/roadquorvel_template.h"
#include "roads/roadstationequations.h"

extern "C" void qz_BuildProcessObjects() {
    clock_TimerLock();          // never destroyed
    pccard_ErrorModeSet();      // a bool
    pccard_OpenFileNames();
    // The WGS-84 ellipsoid (coordsys_WGS84Ellipsoid) is a constant.
    StaticIndexGlobals();
    // The first record id and the attribute type names are constants of their modules.
    codepage_Get();             // reset by its constructor
    roadcogo_ScratchPositions();
    transfrm_GetWGS84Transform();
    road_GetNullStationEquationManager();
    CrossSectionTemplate::Empty();
    RXL_XsiNamespace();
    RXL_SchemaLocation();
    road_KeepStaticRoad();
    ExtraOutputFiles();
    Environment::Get();         // the built-in instance, constant-initialised
    PathMacroNames();
    PathMacroValues();
}

namespace {

struct ProcessObjects {
    ProcessObjects() { qz_BuildProcessObjects(); }
};

// The one dynamic initialiser of the library.
const ProcessObjects processObjects;

}  // namespace
