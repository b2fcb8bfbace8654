#include "records/cameracalibration.h"

#include <cmath>
#include <initializer_list>

#include "foundation/buffer.h"
#include "foundation/environment.h"
#include "foundation/files/file.h"
#include "foundation/text/number.h"

namespace {
constexpr const char* kModule = "Library/CameraCalibration";

// The C runtime's fgets buffer the readers use: a longer line reads as several.
constexpr int kLineSize = 256;

// Up to n numbers scanned as "%lf %lf ..." does, into row; a number that does not scan
// ends the row, and the columns from it keep what they held.
void ScanRow(const char* line, double* row, int n) {
    const char* p = line;
    for (int col = 0; col < n; ++col) {
        double value;
        const int count = number_ScanDouble(p, &value);
        if (count == 0) return;
        row[col] = value;
        p += count;
    }
}

// A row value as the 16-bit coefficient: truncated toward zero and kept in 16 bits.
// A value that is not a number or too large for an integer is reported and changes
// nothing.
void SetCoefficient(int16_t& member, double value) {
    if (!QZ_ASSERT_TEXT(std::isfinite(value) && std::fabs(value) < 2147483648.0, "row value fits an integer"))
        return;
    member = static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint32_t>(static_cast<int32_t>(value))));
}
}  // namespace

// ---------------------------------------------------------------- CameraCalibration

CameraCalibration::CameraCalibration(int64_t calibDate64, double x0, double y0, double ck, double kappa,
                                     double phi, double omega, double s0, double c0, double z0, double i,
                                     int16_t k1, int16_t p1, int16_t p2, double pixelSizeX, double pixelSizeY,
                                     uint16_t pixelCountX, uint16_t pixelCountY, double errMeas,
                                     uint16_t calibType)
    : CalibDate64(calibDate64), X0(x0), Y0(y0), CK(ck), Kappa(kappa), Phi(phi), Omega(omega), S0(s0), C0(c0),
      Z0(z0), I(i), PixelSizeX(pixelSizeX), PixelSizeY(pixelSizeY), ErrMeas(errMeas), K1(k1), P1(p1), P2(p2),
      PixelCountX(pixelCountX), PixelCountY(pixelCountY), CalibType(calibType), isCalibrated(true) {}

bool CameraCalibration::operator==(const CameraCalibration& o) const {
    return CalibDate64 == o.CalibDate64 && X0 == o.X0 && Y0 == o.Y0 && CK == o.CK && Kappa == o.Kappa &&
           Phi == o.Phi && Omega == o.Omega && S0 == o.S0 && C0 == o.C0 && Z0 == o.Z0 && I == o.I &&
           K1 == o.K1 && P1 == o.P1 && P2 == o.P2 && PixelSizeX == o.PixelSizeX && PixelSizeY == o.PixelSizeY &&
           PixelCountX == o.PixelCountX && PixelCountY == o.PixelCountY && ErrMeas == o.ErrMeas &&
           CalibType == o.CalibType && isCalibrated == o.isCalibrated;
}

void CameraCalibration::UpdateDerived() {
    const double x = PixelCountX * PixelSizeX;
    const double y = PixelCountY * PixelSizeY;
    Derived = std::sqrt(x * x + y * y) / 3.0;
}

void CameraCalibration::Write(WriteBuffer& b) const {
    for (double v : {X0, Y0, CK, Kappa, Phi, Omega, S0, C0, Z0, I}) b.PutDouble(v);
    b.PutInt16(K1);
    b.PutInt16(P1);
    b.PutInt16(P2);
    b.PutDouble(PixelSizeX);
    b.PutDouble(PixelSizeY);
    b.PutUInt16(PixelCountX);
    b.PutUInt16(PixelCountY);
    b.PutDouble(ErrMeas);
    b.PutInt64(CalibDate64);
    b.PutUInt16(CalibType);
    b.PutBool(isCalibrated);
}

void CameraCalibration::Read(ReadBuffer& b, int& o) {
    for (double* v : {&X0, &Y0, &CK, &Kappa, &Phi, &Omega, &S0, &C0, &Z0, &I}) *v = b.GetDouble(o);
    K1 = b.GetInt16(o);
    P1 = b.GetInt16(o);
    P2 = b.GetInt16(o);
    PixelSizeX = b.GetDouble(o);
    PixelSizeY = b.GetDouble(o);
    PixelCountX = b.GetUInt16(o);
    PixelCountY = b.GetUInt16(o);
    ErrMeas = b.GetDouble(o);
    CalibDate64 = b.GetInt64(o);
    CalibType = b.GetUInt16(o);
    isCalibrated = b.GetBool(o);
}

const CameraCalibration& CameraCalibration::Default() {
    static const CameraCalibration value;
    return value;
}

// ---------------------------------------------------------------- CameraCalibrationFile

bool CameraCalibrationFile::Load(const Str& path) {
    file_Class file(path);
    if (!file.Open(file_Class::ModeRead)) return false;
    iEntryNo = 0;
    // Rows the file lacks read as zero, whatever an earlier file left.
    for (auto& row : Table)
        for (double& value : row) value = 0.0;
    char line[kLineSize];
    while (iEntryNo < MaxRows && file.ReadLine(line, kLineSize)) {
        // A line that does not scan still takes its row, which keeps what it held.
        ScanRow(line, Table[iEntryNo], MAX_COL);
        ++iEntryNo;
    }
    file.Close();

    double* const parameters[] = {&X0, &Y0, &CK, &Kappa, &Phi, &Omega, &S0, &C0, &Z0, &I};
    for (int row = 0; row < 10; ++row) *parameters[row] = Table[row][0];
    SetCoefficient(K1, Table[10][0]);
    SetCoefficient(P1, Table[13][0]);
    SetCoefficient(P2, Table[14][0]);
    PixelSizeX = Table[17][0];
    PixelSizeY = Table[18][0];
    PixelCountX = 2048;
    PixelCountY = 1536;
    if (iEntryNo > 0) isCalibrated = true;
    return true;
}

double CameraCalibrationFile::GetEntry(int row, int col) const {
    if (!QZ_ASSERT_TEXT(row >= 0 && col >= 0, "(row >= 0) && (col >= 0)")) return 0.0;
    if (!QZ_ASSERT_TEXT(row < iEntryNo && col < MAX_COL, "(row < iEntryNo) && (col < MAX_COL)")) return 0.0;
    return Table[row][col];
}

// ---------------------------------------------------------------- CalibrationRowFile

bool CalibrationRowFile::Load(const Str& path) {
    file_Class file(path);
    if (!file.Open(file_Class::ModeRead)) return false;
    iEntryNo = 0;
    for (double& value : Table[0]) value = 0.0;
    char line[kLineSize];
    if (file.ReadLine(line, kLineSize)) {
        ScanRow(line, Table[0], MAX_COL);
        ++iEntryNo;
    }
    file.Close();
    if (iEntryNo > 0) Valid = true;
    return true;
}

double CalibrationRowFile::GetEntry(int row, int col) const {
    if (!QZ_ASSERT_TEXT(row >= 0 && col >= 0, "(row >= 0) && (col >= 0)")) return 0.0;
    if (!QZ_ASSERT_TEXT(row < iEntryNo && col < MAX_COL, "(row < iEntryNo) && (col < MAX_COL)")) return 0.0;
    return Table[row][col];
}
