// The converter's exported functions. Nothing else is exported by the library.
#pragma once

#ifdef __cplusplus
extern "C" {
#else
#include <stdbool.h>
#include <uchar.h>
#endif

// Returns true to go on, false to cancel the conversion.
typedef bool (*qzxmli_Progress)(int percent);

// 0 done, 1 cancelled, 2 conversion error, 4 input missing or not a complete export,
// 5 job file not created. Both paths are 8-bit text in the system code page. Neither is
// re-encoded: its bytes reach the system as given, after these rules only.
// - The export path: '\' separates folders, as '/' does. Nothing else changes.
// - The job path: first its "$(...)" path macros are expanded (the README lists them,
//   and which separators one of an empty value takes with it; one that is not defined
//   stays as written); then '\' separates folders, as '/' does, and one '.' that ends
//   the file name is dropped. So "x$(TempDir)y.job" creates "x/tmpy.job"
//   (with $TMPDIR unset), and "back\slash.job" creates "back/slash.job".
// A relative path starts in the current folder. The job path's missing folders are
// created; a conversion that fails or is cancelled removes again those it created,
// innermost first, each only while it is empty.
// Road files go into the job path's folder as given (its text up to the last '/' or
// '\', its macros expanded) and are listed in that spelling.
// Calls are serialised: a conversion started while another runs in the process waits
// for it to finish (one started from a progress callback fails with 2).
__attribute__((visibility("default"))) int ImportQZXMLFile(const char* xmlPath, const char* jobPath,
                                                           qzxmli_Progress progress);

// The number of road files listed by the conversions finished since the host last
// fetched the last name; they are listed in the order the conversions finished, so the
// list ends with the road files of the last conversion to finish. Waits for a running
// conversion.
__attribute__((visibility("default"))) int qzxmli_ExtraOutputFileCount(void);

// Writes the index-th road file name into a buffer of 260 UTF-16 units, or an empty
// string. Fetching the last index empties the list.
__attribute__((visibility("default"))) void qzxmli_GetExtraOutputFileName(char16_t* buffer, int index);

#ifdef __cplusplus
}
#endif
