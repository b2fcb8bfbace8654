// The calibration of a camera as the job keeps it (the body of db_Camera, type 133),
// and two readers of small calibration text files.
//
// CameraCalibration on disk, 125 bytes:
//   X0 Y0 CK Kappa Phi Omega S0 C0 Z0 I   f64 each
//   K1 P1 P2                              i16 each
//   PixelSizeX PixelSizeY                 f64 each
//   PixelCountX PixelCountY               u16 each
//   ErrMeas                               f64
//   CalibDate64                           int64
//   CalibType                             u16
//   isCalibrated                          bool (any non-zero byte reads as true)
// A default value is all zero and not calibrated. The derived value (UpdateDerived) is
// held in memory only: it is neither written nor compared.
//
// CameraCalibrationFile reads a two-column text file of up to 20 rows into a
// calibration; CalibrationRowFile reads the first row of a five-column file. Rows a
// file lacks read as zero.
#pragma once

#include <cstdint>

#include "foundation/text/str.h"

class ReadBuffer;
class WriteBuffer;

class CameraCalibration {
public:
    static constexpr int SerialisedSize = 125;

    CameraCalibration() = default;
    // The twenty members; the value is then calibrated.
    CameraCalibration(int64_t calibDate64, double x0, double y0, double ck, double kappa, double phi,
                      double omega, double s0, double c0, double z0, double i, int16_t k1, int16_t p1,
                      int16_t p2, double pixelSizeX, double pixelSizeY, uint16_t pixelCountX,
                      uint16_t pixelCountY, double errMeas, uint16_t calibType);

    // The twenty members and isCalibrated; the derived value is not compared.
    bool operator==(const CameraCalibration& other) const;
    bool operator!=(const CameraCalibration& other) const { return !(*this == other); }
    bool IsEqual(const CameraCalibration& other) const { return *this == other; }

    bool IsCalibrated() const { return isCalibrated; }
    // Assigns other when it differs from this value.
    void AssignIfChanged(const CameraCalibration& other) {
        if (*this != other) *this = other;
    }
    // The derived value: the sensor's diagonal divided by 3.
    void UpdateDerived();
    double GetDerived() const { return Derived; }

    void Write(WriteBuffer& buffer) const;
    void Read(ReadBuffer& buffer, int& byteOffset);

    // A process-wide default value, made on first use.
    static const CameraCalibration& Default();

    int64_t CalibDate64 = 0;
    double X0 = 0.0;
    double Y0 = 0.0;
    double CK = 0.0;
    double Kappa = 0.0;
    double Phi = 0.0;
    double Omega = 0.0;
    double S0 = 0.0;
    double C0 = 0.0;
    double Z0 = 0.0;
    double I = 0.0;
    double PixelSizeX = 0.0;
    double PixelSizeY = 0.0;
    double ErrMeas = 0.0;
    int16_t K1 = 0;
    int16_t P1 = 0;
    int16_t P2 = 0;
    uint16_t PixelCountX = 0;
    uint16_t PixelCountY = 0;
    uint16_t CalibType = 0;
    bool isCalibrated = false;

private:
    double Derived = 0.0;
};

// A calibration filled from a text file of rows "<value> <value>": rows 0..9 give X0
// to I, row 10 K1, row 13 P1, row 14 P2 (truncated toward zero, kept in 16 bits), rows
// 17 and 18 the pixel sizes (column 0 throughout); the pixel counts become 2048 x 1536.
class CameraCalibrationFile : public CameraCalibration {
public:
    static constexpr int MaxRows = 20;
    static constexpr int MAX_COL = 2;

    // False when the file cannot be opened (nothing changes); true otherwise. A K1, P1
    // or P2 row that is not a number or does not fit an integer is reported and leaves
    // its member as it was.
    bool Load(const Str& path);
    // Reports "(row >= 0) && (col >= 0)" or "(row < iEntryNo) && (col < MAX_COL)" and
    // gives 0 outside the rows read.
    double GetEntry(int row, int col) const;
    int GetEntryCount() const { return iEntryNo; }
    const CameraCalibration& GetCalibration() const { return *this; }

private:
    int32_t iEntryNo = 0;
    double Table[MaxRows][MAX_COL] = {};
};

// One row of five numbers: the first line of a text file.
class CalibrationRowFile {
public:
    static constexpr int MAX_COL = 5;

    // False when the file cannot be opened; true otherwise, valid once a line was read.
    bool Load(const Str& path);
    double GetEntry(int row, int col) const;
    int GetEntryCount() const { return iEntryNo; }
    bool IsValid() const { return Valid; }
    bool operator==(bool valid) const { return Valid == valid; }
    explicit operator bool() const { return Valid; }

private:
    bool Valid = false;
    int32_t iEntryNo = 0;
    double Table[1][MAX_COL] = {};
};
