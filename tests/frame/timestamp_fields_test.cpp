/*
** The fields of a timestamp value are read as the C runtime's atoi reads them, position
** by position: digits, but also a short value, blanks and signs, which the reader's own
** checks let through at the places it does not examine.
*/
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "timestamps.h"

namespace {

/* The fields as atoi itself reads them from the same positions. */
SYSTEMTIME ReadByAtoi(const char *value)
{
    auto field = [value](size_t start, size_t length) {
        std::string text = strlen(value) > start ? std::string(value + start).substr(0, length) : std::string();
        return static_cast<WORD>(atoi(text.c_str()));
    };
    SYSTEMTIME time = {};
    time.wYear = field(0, 4);
    time.wMonth = field(4, 2);
    time.wDay = field(6, 2);
    time.wHour = field(9, 2);
    time.wMinute = field(11, 2);
    time.wSecond = field(13, 2);
    return time;
}

TEST(TimestampFields, ReadAsAtoiReadsThem)
{
    const char *values[] = {
        "20240115T083000Z", "20240115T083000", "20240115", "20240115T08", "", "2024", "19991231T235959Z",
        " 2024 1 5T 8 3 9Z", "+2024+1-5T-8+3\t9", "\t\n\v\f\r1x", "00000000T000000", "9999\x01" "12T1:2:3",
    };
    for (const char *value : values) {
        SYSTEMTIME expected = ReadByAtoi(value), read = ParseTimestamp(value);
        EXPECT_EQ(memcmp(&expected, &read, sizeof read), 0) << "value \"" << value << "\"";
    }
}

} // namespace
