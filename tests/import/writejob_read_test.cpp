// The job writer's child readers, XML ID parser and scanners: absent, empty, valid and
// refused texts, with the exact messages.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <string>

#include "foundation/kernel/maths.h"
#include "foundation/xml/element.h"
#include "import/writejob.h"
#include "records/dbRecord.h"
#include "records/entities.h"
#include "records/jobheader.h"
#include "support/recording_environment.h"
#include "support/str_print.h"
#include "support/thrown.h"
#include "vocabulary/dbField.h"

namespace {

// <Record><name>text</name>...</Record>; the child "Absent" is never there.
std::unique_ptr<xml_Element> Record(std::initializer_list<std::pair<const char*, const char*>> children) {
    auto record = std::make_unique<xml_Element>("Record");
    for (const auto& [name, text] : children) record->AddChild(new xml_Element(name, Str(text)));
    return record;
}

TEST(WriteJobReaders, Doubles) {
    auto record = Record({{"Empty", ""}, {"Value", "-12.5e1xyz"}, {"Comma", "1,5"}, {"Word", "abc"},
                          {"Value", "99"}});
    struct {
        const char* child;
        double plain;     // writejob_ReadDouble
        double optional;  // writejob_ReadOptionalDouble with default 7
    } cases[] = {
        {"Absent", MATHS_Null, 7.0},
        {"Empty", MATHS_Null, MATHS_Null},  // present but empty is null, not the default
        {"Value", -125.0, -125.0},          // the first child of the name
        {"Comma", 1.0, 1.0},
        {"Word", 0.0, 0.0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(writejob_ReadDouble(record.get(), c.child), c.plain) << c.child;
        EXPECT_EQ(writejob_ReadOptionalDouble(record.get(), c.child, 7.0), c.optional) << c.child;
    }
}

TEST(WriteJobReaders, IntegersAndHexOrDecimal) {
    auto record = Record({{"Empty", ""}, {"Decimal", " 38400 baud"}, {"Negative", "-5"},
                          {"Hex", "0x1F"}, {"UpperX", "0X10"}, {"Huge", "99999999999"},
                          {"BadHex", "0x1G"}, {"Prefix", "0x"}});
    struct {
        const char* child;
        int32_t plain;        // writejob_ReadInt
        int32_t optional;     // writejob_ReadOptionalInt, default 9
        int32_t hex;          // writejob_ReadHexOrDecimal
        int32_t optionalHex;  // writejob_ReadOptionalHexOrDecimal, default 9
    } cases[] = {
        {"Absent", 0, 9, 0, 9},
        {"Empty", 0, 0, 0, 0},
        {"Decimal", 38400, 38400, 38400, 38400},
        {"Negative", -5, -5, -5, -5},
        {"Hex", 0, 0, 31, 31},
        {"UpperX", 0, 0, 0, 0},  // no "0x" prefix: atoi reads the 0
        {"Huge", INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX},
        {"Prefix", 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(writejob_ReadInt(record.get(), c.child), c.plain) << c.child;
        EXPECT_EQ(writejob_ReadOptionalInt(record.get(), c.child, 9), c.optional) << c.child;
        EXPECT_EQ(writejob_ReadHexOrDecimal(record.get(), c.child), c.hex) << c.child;
        EXPECT_EQ(writejob_ReadOptionalHexOrDecimal(record.get(), c.child, 9), c.optionalHex) << c.child;
    }
    EXPECT_EQ(Thrown([&] { writejob_ReadHexOrDecimal(record.get(), "BadHex"); }),
              Invalid("hex number", "BadHex", "0x1G"));
    EXPECT_EQ(Thrown([&] { writejob_ReadOptionalHexOrDecimal(record.get(), "BadHex", 1); }),
              Invalid("hex number", "BadHex", "0x1G"));
}

TEST(WriteJobReaders, Booleans) {
    auto record = Record({{"Empty", ""}, {"True", "TRUE"}, {"False", "fAlSe"}, {"One", "1"},
                          {"Word", "Yes"}, {"Padded", "true\t"}});
    EXPECT_TRUE(writejob_ReadBool(record.get(), "True"));
    EXPECT_FALSE(writejob_ReadBool(record.get(), "False"));
    EXPECT_TRUE(writejob_ReadOptionalBool(record.get(), "Absent", true));
    EXPECT_FALSE(writejob_ReadOptionalBool(record.get(), "Absent", false));
    EXPECT_TRUE(writejob_ReadOptionalBool(record.get(), "True", false));
    struct {
        const char* child;
        const char* quoted;  // the lower-cased text in the message
    } refused[] = {{"Empty", ""}, {"One", "1"}, {"Word", "yes"}, {"Padded", "true\t"}};
    for (const auto& c : refused) {
        EXPECT_EQ(Thrown([&] { writejob_ReadBool(record.get(), c.child); }), Invalid("bool", c.child, c.quoted));
        EXPECT_EQ(Thrown([&] { writejob_ReadOptionalBool(record.get(), c.child, true); }),
                  Invalid("bool", c.child, c.quoted));
    }
    EXPECT_EQ(Thrown([&] { writejob_ReadBool(record.get(), "Absent"); }), Invalid("bool", "Absent", ""));
}

TEST(WriteJobReaders, StringsTextsAndDescriptions) {
    auto record = std::make_unique<xml_Element>("Record");
    record->AddChild(new xml_Element("Name", Str("A\x1F" "B")));
    auto* descriptions = new xml_Element("Descriptions");
    descriptions->AddChild(new xml_Element("Description2", Str("second")));
    record->AddChild(descriptions);

    EXPECT_EQ(writejob_ReadString(record.get(), "Name"), Str("A\x1F" "B"));
    EXPECT_EQ(writejob_ReadText(record.get(), "Name"), Str("A\xC2\xB7" "B"));
    EXPECT_EQ(writejob_ReadString(record.get(), "Absent"), Str());
    EXPECT_EQ(writejob_ReadText(record.get(), "Absent"), Str());
    EXPECT_EQ(writejob_ReplaceUnitSeparators("\x1F\x1F"), Str("\xC2\xB7\xC2\xB7"));

    db_Observation point;
    point.SetDescriptions({"old 1", "old 2"});
    const dbrecord_Descriptions& pair = point.GetDescriptions();
    writejob_ReadDescriptions(record.get(), "Absent", point);
    EXPECT_EQ(pair.Description1, Str("old 1"));
    EXPECT_EQ(pair.Description2, Str("old 2"));
    writejob_ReadDescriptions(record.get(), "Descriptions", point);
    EXPECT_EQ(point.GetDescriptions().Description1, Str());  // absent inside the group: empty
    EXPECT_EQ(point.GetDescriptions().Description2, Str("second"));
}

TEST(WriteJobReaders, References) {
    auto record = Record({{"Empty", ""}, {"Zero", "0x0"}, {"Id", "0x2A"}, {"NoPrefix", "42"}});
    EXPECT_EQ(writejob_ReadReference(record.get(), "Absent"), NODBID);
    EXPECT_EQ(writejob_ReadReference(record.get(), "Empty"), NODBID);
    EXPECT_EQ(writejob_ReadReference(record.get(), "Zero"), NODBID);
    EXPECT_EQ(writejob_ReadReference(record.get(), "Id"), DBID(42));
    EXPECT_EQ(Thrown([&] { writejob_ReadReference(record.get(), "NoPrefix"); }),
              Invalid("hex number (missing 0x prefix)", "NoPrefix", "42"));
}

TEST(WriteJobReaders, RecordIds) {
    struct {
        const char* text;
        uint32_t value;
        const char* label;  // null when accepted
    } cases[] = {
        {"0x0", 0u, nullptr},
        {"0x", 0u, nullptr},
        {"0x1f", 31u, nullptr},
        {"0xAbCdEf01", 0xABCDEF01u, nullptr},
        {"0xFFFFFFFF", 0xFFFFFFFFu, nullptr},
        {"0x123456789", 0x23456789u, nullptr},  // nine digits wrap to the low 32 bits
        {"0x1000000000", 0u, nullptr},
        {"0X1F", 0u, "hex number (missing 0x prefix)"},
        {"1F", 0u, "hex number (missing 0x prefix)"},
        {"", 0u, "hex number (missing 0x prefix)"},
        {"0", 0u, "hex number (missing 0x prefix)"},
        {" 0x1", 0u, "hex number (missing 0x prefix)"},
        {"0x1G", 0u, "hex number"},
        {"0x 1", 0u, "hex number"},
        {"0x-1", 0u, "hex number"},
        {"0x1 ", 0u, "hex number"},
    };
    for (const auto& c : cases) {
        if (!c.label) {
            EXPECT_EQ(writejob_ParseRecordId(c.text, "ID"), c.value) << c.text;
            continue;
        }
        EXPECT_EQ(Thrown([&] { writejob_ParseRecordId(c.text, "ID"); }), Invalid(c.label, "ID", c.text)) << c.text;
    }
    for (int c = 0; c < 256; ++c) {
        int expected = c >= '0' && c <= '9' ? c - '0'
                       : c >= 'a' && c <= 'f' ? c - 'a' + 10
                       : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                              : -1;
        EXPECT_EQ(writejob_HexDigitValue(static_cast<char>(c)), expected) << c;
    }
}

TEST(WriteJobReaders, StringLists) {
    // <Record><List><other/><item index="3">a</item><item>b</item><stop/><item>c</item></List></Record>
    auto record = std::make_unique<xml_Element>("Record");
    auto* list = new xml_Element("List");
    list->AddChild(new xml_Element("other", Str("x")));
    auto* first = new xml_Element("item", Str("a"));
    first->AddAttribute(new xml_Attribute("index", "3"));
    list->AddChild(first);
    list->AddChild(new xml_Element("item", Str("b")));
    list->AddChild(new xml_Element("stop", Str("y")));
    list->AddChild(new xml_Element("item", Str("c")));
    record->AddChild(list);
    record->AddChild(new xml_Element("Empty", Str()));

    StrArray texts;
    StrArray indexes;
    texts.Add("kept");
    writejob_ReadStringList(record.get(), "List", texts, &indexes);
    ASSERT_EQ(texts.Count(), 3);
    EXPECT_EQ(texts[1], Str("a"));
    EXPECT_EQ(texts[2], Str("b"));
    ASSERT_EQ(indexes.Count(), 2);
    EXPECT_EQ(indexes[0], Str("3"));
    EXPECT_EQ(indexes[1], Str());

    StrArray none;
    writejob_ReadStringList(record.get(), "Absent", none);
    writejob_ReadStringList(record.get(), "Empty", none);
    EXPECT_EQ(none.Count(), 0);
}

TEST(WriteJobReaders, OptionalEnumerations) {
    auto record = Record({{"Empty", ""}, {"Method", "DBENTITY_Coordinates"}, {"Deltas", ""},
                          {"Bad", "DBENTITY_Nothing"}});
    // Absent: the default; present: the loader, which also takes the empty text.
    EXPECT_EQ(load_optional_dbentity_PointMethod(record.get(), "Absent", 77), 77);
    EXPECT_EQ(load_optional_dbentity_PointMethod(record.get(), "Method", 77),
              load_dbentity_PointMethod(record.get(), "Method"));
    EXPECT_EQ(load_optional_dbconfig_DeltasMode(record.get(), "Deltas", 77), 4);
    EXPECT_EQ(Thrown([&] { load_optional_dbentity_PointMethod(record.get(), "Empty", 77); }),
              Invalid("dbentity_PointMethod", "Empty", ""));
    EXPECT_EQ(Thrown([&] { load_optional_dbentity_PointMethod(record.get(), "Bad", 77); }),
              Invalid("dbentity_PointMethod", "Bad", "DBENTITY_Nothing"));
    // Every adapter reads its own enumeration.
#define CHECK_ADAPTER(type)                                                                   \
    EXPECT_EQ(load_optional_##type(record.get(), "Absent", -3), -3);                         \
    EXPECT_EQ(Thrown([&] { load_optional_##type(record.get(), "Bad", 0); }),                 \
              Thrown([&] { load_##type(record.get(), "Bad"); }));
    WRITEJOB_OPTIONAL_ENUMERATIONS(CHECK_ADAPTER)
#undef CHECK_ADAPTER
}

TEST(WriteJobReaders, TimeStampAndNotes) {
    auto record = Record({{"Note", "first"}, {"Other", "x"}, {"Note", ""}, {"Note", "third"}});
    EXPECT_EQ(writejob_ReadNotes(record.get(), "Note"), Str("first\r\n\r\nthird\r\n"));
    EXPECT_EQ(writejob_ReadNotes(record.get(), "Absent"), Str());
    RecordingEnvironment environment;
    EXPECT_EQ(writejob_ReadNotes(record.get(), nullptr), Str());
    ASSERT_EQ(environment.assertions.size(), 1u);
    EXPECT_EQ(environment.assertions[0].expression, "tagName");
    EXPECT_EQ(environment.assertions[0].module, "converter/writejob");

    db_JobHeader header;
    header.SetTimeStamp(5.0);
    writejob_ReadTimeStamp(record.get(), &header);
    EXPECT_EQ(header.GetTimeStamp(), MATHS_Null);
    record->AddAttribute(new xml_Attribute("TimeStamp", ""));
    header.SetTimeStamp(5.0);
    writejob_ReadTimeStamp(record.get(), &header);
    EXPECT_EQ(header.GetTimeStamp(), MATHS_Null);
    record->SetAttributeText("TimeStamp", "1234567.25");
    writejob_ReadTimeStamp(record.get(), &header);
    EXPECT_EQ(header.GetTimeStamp(), 1234567.25);
}

TEST(WriteJobScanners, TextsInHand) {
    struct {
        const char* text;
        double toDouble;
        double scanDouble;
        uint32_t scanUnsigned;
        int32_t scanInt;
    } cases[] = {
        {"", MATHS_Null, MATHS_Null, 0u, 0},
        {"abc", 0.0, MATHS_Null, 0u, 0},
        {" 12.5kg", 12.5, 12.5, 12u, 12},
        {"-1", -1.0, -1.0, 4294967295u, -1},  // a menu index of -1 reads as 4294967295
        {"1,5", 1.0, 1.0, 1u, 1},
        {"+7", 7.0, 7.0, 7u, 7},
        {"0x10", 16.0, 16.0, 0u, 0},
        {"4294967296", 4294967296.0, 4294967296.0, 4294967295u, INT32_MAX},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(writejob_TextToDouble(c.text), c.toDouble) << c.text;
        EXPECT_EQ(writejob_ScanDouble(c.text), c.scanDouble) << c.text;
        EXPECT_EQ(writejob_ScanUnsigned(c.text), c.scanUnsigned) << c.text;
        EXPECT_EQ(writejob_ScanInt(c.text), c.scanInt) << c.text;
    }
    EXPECT_TRUE(std::isinf(writejob_TextToDouble("inf")));
    EXPECT_TRUE(std::isnan(writejob_ScanDouble("nan")));
}

TEST(WriteJobScanners, Format) {
    EXPECT_EQ(writejob_Format("%03d", 25), Str("025"));
    EXPECT_EQ(writejob_Format("%03d", 1234), Str("1234"));
    EXPECT_EQ(writejob_Format("0x%08x", 42u), Str("0x0000002a"));
    EXPECT_EQ(writejob_Format("0x%08x", 0xDEADBEEFu), Str("0xdeadbeef"));
    RecordingEnvironment environment;
    EXPECT_EQ(writejob_Format("%01000d", 1).Length(), 999);
    EXPECT_EQ(environment.Expressions(), std::vector<std::string>{"length < 1000"});
}

}  // namespace
