/*
** Date text for task files and the call record. Round trips are checked on the double
** itself, so a date written as text always reads back bit for bit.
*/
#include "ole_date_text.h"

#include <oleauto.h>

#include <cmath>
#include <cstdio>
#include <unordered_map>

namespace {

/* Task files repeat a few dates many times over, and each conversion is two calls into
   oleaut32; so both directions remember their recent answers. Emptied when full. */
const size_t kCacheLimit = 4096;
std::unordered_map<double, std::string> textOfDate;
std::unordered_map<std::string, double> dateOfText; /* NaN: not a valid date text */

template <class Map, class Key, class Value>
void Remember(Map &cache, const Key &key, const Value &value)
{
    if (cache.size() >= kCacheLimit)
        cache.clear();
    cache.emplace(key, value);
}

std::string ConvertDateToText(double date)
{
    SYSTEMTIME st = {};
    if (!VariantTimeToSystemTime(date, &st))
        return std::string();
    double back = 0;
    if (!SystemTimeToVariantTime(&st, &back) || back != date)
        return std::string();
    char text[32];
    snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", st.wYear, st.wMonth, st.wDay, st.wHour,
             st.wMinute, st.wSecond);
    return text;
}

bool ConvertTextToDate(const std::string &text, double *date)
{
    unsigned y, mo, d, h, mi, s;
    int used = 0;
    if (text.size() != 19 ||
        sscanf(text.c_str(), "%4u-%2u-%2u %2u:%2u:%2u%n", &y, &mo, &d, &h, &mi, &s, &used) != 6 ||
        used != 19)
        return false;
    SYSTEMTIME st = {};
    st.wYear = (WORD)y, st.wMonth = (WORD)mo, st.wDay = (WORD)d;
    st.wHour = (WORD)h, st.wMinute = (WORD)mi, st.wSecond = (WORD)s;
    double value = 0;
    if (!SystemTimeToVariantTime(&st, &value))
        return false;
    // oleaut32 rolls over some impossible dates (Feb 30) instead of refusing them.
    SYSTEMTIME back = {};
    if (!VariantTimeToSystemTime(value, &back) || back.wYear != st.wYear || back.wMonth != st.wMonth ||
        back.wDay != st.wDay || back.wHour != st.wHour || back.wMinute != st.wMinute || back.wSecond != st.wSecond)
        return false;
    *date = value;
    return true;
}

} // namespace

std::string ExactDateText(double date)
{
    if (!std::isfinite(date))
        return std::string();
    auto it = textOfDate.find(date);
    if (it != textOfDate.end())
        return it->second;
    std::string text = ConvertDateToText(date);
    Remember(textOfDate, date, text);
    return text;
}

bool ParseDateText(const std::string &text, double *date)
{
    double value;
    auto it = dateOfText.find(text);
    if (it != dateOfText.end()) {
        value = it->second;
    } else {
        if (!ConvertTextToDate(text, &value))
            value = NAN;
        Remember(dateOfText, text, value);
    }
    if (std::isnan(value))
        return false;
    *date = value;
    return true;
}

std::string SystemTimeText(const SYSTEMTIME &t)
{
    char text[64];
    snprintf(text, sizeof text, "{%u-%u-%u %u:%u:%u.%u}", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond,
             t.wMilliseconds);
    return text;
}
