// The target-height and prism values that the target and station records embed.
//
// Header-only on the foundation alone: the record catalogue below this library holds
// these values in its records, so it includes this header without linking the
// coordinate geometry library.
#pragma once

#include <cmath>
#include <cstdint>

#include "foundation/kernel/maths.h"

// total_TargetHeightMethod
inline constexpr int32_t TOTAL_TrueVertical = 0;
inline constexpr int32_t TOTAL_CorvaneBottomNotch = 1;

// The offsets of the bottom notch of a measuring tape, in metres.
inline constexpr double TOTAL_NotchHorizontalOffset = 0.091;
inline constexpr double TOTAL_NotchVerticalOffset = 0.158;

// A target or instrument height as measured: the raw height, how it was measured, and
// the offsets of the measuring point.
class total_TargetHeightData {
public:
    virtual ~total_TargetHeightData() = default;

    // Method 1 takes the notch offsets; any other value is method 0 without offsets.
    void SetMeasurementMethod(int32_t method) {
        if (method == TOTAL_CorvaneBottomNotch) {
            MeasurementMethod = TOTAL_CorvaneBottomNotch;
            HorizontalOffset = TOTAL_NotchHorizontalOffset;
            VerticalOffset = TOTAL_NotchVerticalOffset;
        } else {
            MeasurementMethod = TOTAL_TrueVertical;
            HorizontalOffset = 0.0;
            VerticalOffset = 0.0;
        }
    }
    void SetNull() {
        Height = MATHS_Null;
        SetMeasurementMethod(TOTAL_TrueVertical);
    }
    void Clear() {
        Height = 0.0;
        SetMeasurementMethod(TOTAL_TrueVertical);
    }

    // The height along the vertical; null when a notch measurement cannot reach it.
    double TrueVerticalHeight() const {
        if (MeasurementMethod == TOTAL_TrueVertical) return Height;
        if (maths_IsNull(Height) || maths_IsNull(HorizontalOffset) || maths_IsNull(VerticalOffset)) return MATHS_Null;
        if (Height < HorizontalOffset) return MATHS_Null;
        return std::sqrt(Height * Height - HorizontalOffset * HorizontalOffset) + VerticalOffset;
    }
    // The smallest raw height the method can measure.
    double MinimumHeight() const {
        if (MeasurementMethod == TOTAL_TrueVertical) return -1000.0;
        return maths_Max(0.3, HorizontalOffset);
    }

    virtual bool IsEqual(const total_TargetHeightData& other) const {
        return Height == other.Height && MeasurementMethod == other.MeasurementMethod &&
               HorizontalOffset == other.HorizontalOffset && VerticalOffset == other.VerticalOffset;
    }
    virtual bool IsNotEqual(const total_TargetHeightData& other) const { return !IsEqual(other); }

    double Height = MATHS_Null;
    int32_t MeasurementMethod = TOTAL_TrueVertical;  // total_TargetHeightMethod
    double HorizontalOffset = 0.0;
    double VerticalOffset = 0.0;
};

// Prism constants closer than this are the same constant.
inline constexpr double TOTAL_PrismConstantTolerance = 0.00001;

class total_Prism {
public:
    virtual ~total_Prism() = default;

    virtual bool IsEqual(const total_Prism& other) const {
        return PrismType == other.PrismType && std::fabs(PrismConstant - other.PrismConstant) < TOTAL_PrismConstantTolerance;
    }
    virtual bool IsNotEqual(const total_Prism& other) const { return !IsEqual(other); }
    // The two prism types whose correction depends on the zenith angle.
    bool IsZenithDependent() const { return PrismType == 0 || PrismType == 1; }

    double PrismConstant = MATHS_Null;
    int32_t PrismType = -1;  // total_PrismTypes
};

class total_Target {
public:
    virtual ~total_Target() = default;

    virtual bool IsEqual(const total_Target& other) const {
        return TargetHeightData.IsEqual(other.TargetHeightData) && Prism.IsEqual(other.Prism) &&
               RMTID == other.RMTID && CorvaneCheckTargetID == other.CorvaneCheckTargetID;
    }

    total_TargetHeightData TargetHeightData;
    total_Prism Prism;
    int32_t RMTID = 0;                 // total_RMTIDs
    int32_t CorvaneCheckTargetID = 0;  // total_CorvaneTargetIDCheckType
};
