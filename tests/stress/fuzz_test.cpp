/*
** A mutation fuzzer with a fixed seed: calendars made by mutating a seed corpus (what
** the export writes, the shared corpus of other programs' calendars when present, and
** small hostile inputs), each imported through ics_reader with the stress invariants.
** STRESS_FUZZ_ITERATIONS sets the number of calendars (default 2000) and
** STRESS_FUZZ_SEED the seed, for a longer or a different run.
*/
#include <windows.h>

#include <cstdlib>
#include <random>

#include "standin_control.h"
#include "stress_fixture.h"

namespace {

const char *const Tokens[] = {
    "BEGIN:VEVENT\r\n", "END:VEVENT\r\n", "BEGIN:VALARM\r\n", "END:VALARM\r\n", "\r\n ", "\r\n\t", "\r\n", "\n",
    "\r", "" /* NUL, see Token */, "\x1A", "\xFF\xFE", "\xEF\xBB\xBF", "\xC3", "\xF0\x9F\x98", "'", ":", ";",
    "\"", "UID:T1\r\n", "UID:\r\n", "SUMMARY:", "DTSTART:", "DTEND:", "DTSTART;VALUE=DATE:20240229\r\n",
    "DTSTART;TZID=Europe/Paris:20240331T023000\r\n", "DTEND:99991231T235959Z\r\n", "DTSTART:16010101T000000Z\r\n",
    "BEGIN:VTIMEZONE\r\nTZID:X\r\nBEGIN:STANDARD\r\nTZOFFSETFROM:+2500\r\nTZOFFSETTO:-2500\r\n", "TZID=\"",
    "RRULE:FREQ=YEARLY;BYMONTH=13\r\n", "20241301T250000Z",
};

/* The NUL token above would be an empty C string: it is made here instead. */
std::string Token(size_t index)
{
    if (index == 9)
        return std::string(1, '\0');
    return Tokens[index];
}

std::string Mutate(const std::string &seed, std::mt19937 &random)
{
    std::string text = seed;
    int mutations = 1 + static_cast<int>(random() % 8);
    for (int m = 0; m < mutations; m++) {
        size_t at = text.empty() ? 0 : random() % (text.size() + 1);
        switch (random() % 7) {
        case 0: /* flip a byte */
            if (!text.empty())
                text[at % text.size()] = static_cast<char>(random() & 0xFF);
            break;
        case 1: /* insert a token */
            text.insert(at, Token(random() % (sizeof Tokens / sizeof Tokens[0])));
            break;
        case 2: /* remove a range */
            text.erase(at, random() % 64);
            break;
        case 3: /* repeat a range */
            if (at < text.size())
                text.insert(at, text.substr(at, random() % 256));
            break;
        case 4: /* cut the file */
            text.resize(at);
            break;
        case 5: /* random bytes */
            for (int n = random() % 16; n > 0; n--)
                text.insert(text.begin() + (at < text.size() ? at : text.size()), static_cast<char>(random() & 0xFF));
            break;
        default: /* a long run of one byte */
            text.insert(at, random() % 40000, static_cast<char>(random() & 0xFF));
            break;
        }
    }
    return text;
}

std::vector<std::string> CorpusFiles()
{
    std::vector<std::string> seeds;
#ifdef SHARED_CORPUS_DIR
    std::wstring folder = Wide(SHARED_CORPUS_DIR);
    for (wchar_t &c : folder)
        if (c == L'/')
            c = L'\\';
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*.ics").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return seeds;
    do
        seeds.push_back(ReadFileBytes(folder + L"\\" + found.cFileName));
    while (FindNextFileW(search, &found));
    FindClose(search);
#endif
    return seeds;
}

long Setting(const char *name, long fallback)
{
    const char *value = getenv(name);
    return value != nullptr && *value != 0 ? strtol(value, nullptr, 10) : fallback;
}

class FuzzTest : public StressTest {};

TEST_F(FuzzTest, MutatedCalendarsKeepTheInvariants)
{
    /* Seeds: the export's own calendar of the base tasks, small hostile inputs, and the
       shared corpus when it is there. */
    std::vector<std::string> seeds;
    ExportTo(Calendar(L"seed.ics"));
    seeds.push_back(ReadFileBytes(Calendar(L"seed.ics")));
    ASSERT_GT(seeds[0].size(), 3u);
    seeds.push_back("\xFF\xFE" "B\0E\0G\0I\0N\0:\0V\0E\0V\0E\0N\0T\0\r\0\n\0U\0I\0D\0:\0T\0" "1\0\r\0\n\0");
    seeds.push_back(std::string("BEGIN:VEVENT\r\nUID:T2\r\nSUMMARY:a\0b\x1A" "c\r\nEND:VEVENT\r\n", 40));
    std::vector<std::string> corpus = CorpusFiles();
    if (corpus.empty())
        std::cout << "[ NOTE ] shared corpus absent: fuzzing the export's calendar and built-in seeds only\n";
    seeds.insert(seeds.end(), corpus.begin(), corpus.end());

    const long iterations = Setting("STRESS_FUZZ_ITERATIONS", 2000);
    std::mt19937 random(static_cast<unsigned>(Setting("STRESS_FUZZ_SEED", 5545)));
    StandIn_SetRecording(0);
    for (long i = 0; i < iterations && !HasFailure(); i++) {
        size_t seedIndex = random() % seeds.size();
        std::string bytes = Mutate(seeds[seedIndex], random);
        SCOPED_TRACE("calendar " + std::to_string(i) + " from seed " + std::to_string(seedIndex));
        LoadTasks(BaseTasks);
        StandIn_SetRecording(0);
        std::string before = StandIn_TaskJson();
        ASSERT_TRUE(WriteFileBytes(Calendar(), bytes));
        ImportFrom(Calendar());
        CheckImport(Calendar(), before);
        if (HasFailure())
            WriteFileBytes(folder_->File(L"..\\stress-fuzz-failure.ics"), bytes);
    }
}

} // namespace
