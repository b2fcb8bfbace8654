// DBID: the id of a record in a job, one unsigned 32-bit value written as u32.
// 0 (NODBID) means "no record"; the model hands ids out in ascending order from 1.
// Every reference field of every record defaults to NODBID.
#pragma once

#include <cstdint>

class DBID {
public:
    constexpr DBID() : _Value(0) {}
    // Stores the integer unchanged (a negative int keeps its bit pattern); also
    // serves as assignment from an integer.
    constexpr DBID(int value) : _Value(static_cast<uint32_t>(value)) {}
    constexpr explicit DBID(uint32_t value) : _Value(value) {}

    constexpr uint32_t Value() const { return _Value; }

    constexpr bool operator==(const DBID& other) const { return _Value == other._Value; }
    constexpr bool operator!=(const DBID& other) const { return _Value != other._Value; }
    constexpr bool operator==(int value) const { return _Value == static_cast<uint32_t>(value); }
    constexpr bool operator!=(int value) const { return _Value != static_cast<uint32_t>(value); }

private:
    uint32_t _Value;
};

inline constexpr DBID NODBID{};
