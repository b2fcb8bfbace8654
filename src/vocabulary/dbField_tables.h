// How the dbField_*.cpp files declare their tables: one (name, value) array per
// enumeration in its listed order, the primary name of each value first.
#pragma once

#include "vocabulary/dbField.h"

#define DBFIELD_ENUM_WITH_DEFAULT(type, emptyDefault, ...)                   \
    namespace {                                                              \
    constexpr dbField_Name type##_names[] = {__VA_ARGS__};                   \
    }                                                                        \
    constinit const dbField_Enum dbField_##type{#type, type##_names, emptyDefault};

#define DBFIELD_ENUM(type, ...) DBFIELD_ENUM_WITH_DEFAULT(type, dbField_NoDefault, __VA_ARGS__)
