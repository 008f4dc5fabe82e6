/*
** The calendar file layer: CalendarStream for writing (UTF-8, byte order mark, CR LF,
** flushed per event line) and for reading (encoding sniffed from the first bytes,
** CR LF folded to "\n", 0x1A ends the content, lines handed out in bounded portions).
** Win32 file handles are used directly: the C runtimes differ in which files they open
** (Wine's opens a folder, or an FE FF file in ccs=UTF-8 mode) and in their text modes.
*/
#include "calendar_file.h"

#include <windows.h>

#include <climits>
#include <cstring>
#include <vector>


namespace {

enum CalendarEncoding { EncodingUtf8, EncodingUtf16LittleEndian };

const size_t RawChunk = 64 * 1024;
const wchar_t ReplacementCharacter = 0xFFFD;
const wchar_t EndOfContent = 0x1A;
const long NoHeldUnit = -2;

struct CalendarStreamState {
    HANDLE file = INVALID_HANDLE_VALUE;
    /* reading */
    CalendarEncoding encoding = EncodingUtf8;
    std::vector<unsigned char> raw;
    size_t rawPosition = 0, rawLength = 0;
    bool rawAtEnd = false;
    bool contentEnded = false;   /* 0x1A seen, or the file is exhausted */
    long heldUnit = -2;          /* the unit read after a CR that no LF followed */
    wchar_t pendingUnit = 0;     /* second half of a surrogate pair, or 0 */
    /* writing: reused between lines so that a long export allocates once */
    std::vector<wchar_t> wideLine;
    std::vector<char> utf8Line;
};

CalendarStreamState CalendarStream;

HANDLE OpenFileHandle(const wchar_t *path, bool forWriting)
{
    /* A folder is refused here, whatever the runtime underneath would allow. */
    DWORD attributes = GetFileAttributesW(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return INVALID_HANDLE_VALUE;
    if (forWriting)
        return CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    return CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
}

void WriteBytes(const char *bytes, size_t length)
{
    if (CalendarStream.file == INVALID_HANDLE_VALUE)
        return;
    while (length > 0) {
        DWORD written = 0;
        DWORD portion = length > 0x40000000u ? 0x40000000u : static_cast<DWORD>(length);
        if (!WriteFile(CalendarStream.file, bytes, portion, &written, nullptr) || written == 0)
            return;
        bytes += written;
        length -= written;
    }
}

/* Appends units of UTF-16 text as UTF-8. A unit never takes more than three bytes (a
   surrogate pair, two units, takes four), so room for three a unit converts it in one
   call; only a text too long for that count to be an int is measured first. */
void AppendUtf8(const wchar_t *units, int count, std::vector<char> *out)
{
    size_t at = out->size();
    int room = count <= INT_MAX / 3 ? 3 * count
                                     : WideCharToMultiByte(CP_UTF8, 0, units, count, nullptr, 0, nullptr, nullptr);
    if (room <= 0)
        return;
    out->resize(at + room);
    int bytes = WideCharToMultiByte(CP_UTF8, 0, units, count, out->data() + at, room, nullptr, nullptr);
    out->resize(at + (bytes > 0 ? bytes : 0));
}

/* UTF-16 text to UTF-8 with every "\n" stored as CR LF, then the line end. */
void WriteWideTextLine(const wchar_t *text)
{
    if (CalendarStream.file == INVALID_HANDLE_VALUE)
        return;
    std::vector<char> &out = CalendarStream.utf8Line;
    out.clear();
    const wchar_t *segment = text;
    for (;;) {
        const wchar_t *lineFeed = wcschr(segment, L'\n');
        int units = lineFeed ? static_cast<int>(lineFeed - segment) : static_cast<int>(wcslen(segment));
        if (units > 0)
            AppendUtf8(segment, units, &out);
        out.push_back('\r');
        out.push_back('\n');
        if (lineFeed == nullptr)
            break;
        segment = lineFeed + 1;
    }
    WriteBytes(out.data(), out.size());
}

/* A byte line of ASCII only is its own UTF-8 in every ANSI code page: it goes out as it
   is, with every "\n" stored as CR LF. False, writing nothing, for any other line. */
bool WriteAsciiLine(const char *line)
{
    std::vector<char> &out = CalendarStream.utf8Line;
    out.clear();
    for (const char *at = line; *at != 0; at++) {
        if (static_cast<unsigned char>(*at) >= 0x80)
            return false;
        if (*at == '\n')
            out.push_back('\r');
        out.push_back(*at);
    }
    out.push_back('\r');
    out.push_back('\n');
    WriteBytes(out.data(), out.size());
    return true;
}

/* The byte line in UTF-16, in CalendarStream.wideLine. A byte never makes more than one
   unit, so a buffer of the line's length converts it in one call. */
const wchar_t *WideLineOf(const char *line)
{
    std::vector<wchar_t> &wide = CalendarStream.wideLine;
    int bytes = static_cast<int>(strlen(line)) + 1;
    wide.resize(bytes);
    if (MultiByteToWideChar(CP_ACP, 0, line, bytes, wide.data(), bytes) <= 0)
        wide[0] = 0;
    return wide.data();
}

bool FillRaw()
{
    CalendarStreamState &s = CalendarStream;
    if (s.rawAtEnd)
        return false;
    /* Keep a byte that waits for its partner (an odd UTF-16 tail). */
    size_t kept = s.rawLength - s.rawPosition;
    memmove(s.raw.data(), s.raw.data() + s.rawPosition, kept);
    s.rawPosition = 0;
    s.rawLength = kept;
    DWORD got = 0;
    if (!ReadFile(s.file, s.raw.data() + kept, static_cast<DWORD>(s.raw.size() - kept), &got, nullptr) || got == 0) {
        s.rawAtEnd = true;
        return false;
    }
    s.rawLength += got;
    return true;
}

int RawByte()
{
    CalendarStreamState &s = CalendarStream;
    if (s.rawPosition == s.rawLength && !FillRaw())
        return -1;
    return s.raw[s.rawPosition++];
}

int PeekRawByte()
{
    CalendarStreamState &s = CalendarStream;
    if (s.rawPosition == s.rawLength && !FillRaw())
        return -1;
    return s.raw[s.rawPosition];
}

/* Next UTF-16 unit of the file as stored, -1 at its end. Malformed UTF-8 becomes
   U+FFFD: one for each byte that cannot start or continue a sequence, one for a whole
   sequence that encodes no character (overlong, surrogate, beyond U+10FFFF). */
long DecodeUnit()
{
    CalendarStreamState &s = CalendarStream;
    if (s.pendingUnit != 0) {
        wchar_t unit = s.pendingUnit;
        s.pendingUnit = 0;
        return unit;
    }
    if (s.encoding == EncodingUtf16LittleEndian) {
        int low = RawByte();
        if (low < 0)
            return -1;
        int high = RawByte();
        if (high < 0)
            return ReplacementCharacter; /* an odd byte at the end */
        return static_cast<long>(low | (high << 8));
    }
    int lead = RawByte();
    if (lead < 0)
        return -1;
    if (lead < 0x80)
        return lead;
    int trailing;
    unsigned long code, minimum;
    if (lead >= 0xC2 && lead <= 0xDF) {
        trailing = 1, code = lead & 0x1F, minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        trailing = 2, code = lead & 0x0F, minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        trailing = 3, code = lead & 0x07, minimum = 0x10000;
    } else {
        return ReplacementCharacter;
    }
    for (int i = 0; i < trailing; i++) {
        int next = PeekRawByte();
        if (next < 0 || (next & 0xC0) != 0x80)
            return ReplacementCharacter; /* the next byte starts afresh */
        s.rawPosition++;
        code = (code << 6) | (next & 0x3F);
    }
    if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return ReplacementCharacter;
    if (code >= 0x10000) {
        code -= 0x10000;
        s.pendingUnit = static_cast<wchar_t>(0xDC00 | (code & 0x3FF));
        return 0xD800 | (code >> 10);
    }
    return static_cast<long>(code);
}

/* Next unit of the content: CR LF folded to "\n", nothing after 0x1A. A CR is
   ordinary text unless a LF follows it. */
long ContentUnit()
{
    CalendarStreamState &s = CalendarStream;
    if (s.contentEnded)
        return -1;
    long unit = s.heldUnit != NoHeldUnit ? s.heldUnit : DecodeUnit();
    s.heldUnit = NoHeldUnit;
    if (unit == L'\r') {
        long next = DecodeUnit();
        if (next == L'\n')
            unit = L'\n';
        else
            s.heldUnit = next; /* may be the end (-1) or another CR */
    }
    if (unit < 0 || unit == EndOfContent) {
        s.contentEnded = true;
        return -1;
    }
    return unit;
}

} // namespace

bool OpenCalendarForWrite(const wchar_t *path)
{
    CloseCalendarFile();
    CalendarStream.file = OpenFileHandle(path, true);
    if (CalendarStream.file == INVALID_HANDLE_VALUE)
        return false;
    static const char ByteOrderMark[] = "\xEF\xBB\xBF";
    WriteBytes(ByteOrderMark, 3);
    return true;
}

void WriteCalendarLine(const char *line)
{
    if (CalendarStream.file == INVALID_HANDLE_VALUE)
        return;
    /* One WriteFile per line, no buffer of our own: the line is with the system, and
       survives the process, before the next one is built. */
    if (!WriteAsciiLine(line))
        WriteWideTextLine(WideLineOf(line));
}

void WriteCalendarWideLine(const wchar_t *line)
{
    WriteWideTextLine(line);
}

CalendarOpenResult OpenCalendarForRead(const wchar_t *path)
{
    CloseCalendarFile();
    CalendarStreamState &s = CalendarStream;
    s.file = OpenFileHandle(path, false);
    if (s.file == INVALID_HANDLE_VALUE)
        return CalendarNotFound;
    s.raw.assign(RawChunk, 0);
    s.rawPosition = s.rawLength = 0;
    s.rawAtEnd = s.contentEnded = false;
    s.heldUnit = NoHeldUnit;
    s.pendingUnit = 0;
    s.encoding = EncodingUtf8;
    FillRaw();
    const unsigned char *head = s.raw.data();
    if (s.rawLength >= 2 && head[0] == 0xFE && head[1] == 0xFF) {
        CloseCalendarFile();
        return CalendarBigEndian;
    }
    if (s.rawLength >= 2 && head[0] == 0xFF && head[1] == 0xFE) {
        s.encoding = EncodingUtf16LittleEndian;
        s.rawPosition = 2;
    } else if (s.rawLength >= 3 && head[0] == 0xEF && head[1] == 0xBB && head[2] == 0xBF) {
        s.rawPosition = 3;
    }
    return CalendarOpened;
}

size_t ReadCalendarLine(wchar_t *line)
{
    size_t length = 0;
    if (CalendarStream.file == INVALID_HANDLE_VALUE) {
        line[0] = 0;
        return 0;
    }
    CalendarStreamState &s = CalendarStream;
    while (length < CalendarLinePortion) {
        /* Most of a calendar is ASCII: those bytes are their own units, and are copied
           straight from the raw portion. CR, 0x1A and every other byte, a byte held or
           pending from before and UTF-16 text take the unit-by-unit way below. */
        if (s.encoding == EncodingUtf8 && s.heldUnit == NoHeldUnit && s.pendingUnit == 0 && !s.contentEnded) {
            const unsigned char *raw = s.raw.data();
            size_t at = s.rawPosition, end = s.rawLength;
            size_t room = CalendarLinePortion - length;
            if (end - at > room)
                end = at + room;
            bool lineEnded = false;
            while (at < end) {
                unsigned char byte = raw[at];
                if (byte >= 0x80 || byte == '\r' || byte == EndOfContent)
                    break;
                at++;
                line[length++] = byte;
                if (byte == '\n') {
                    lineEnded = true;
                    break;
                }
            }
            s.rawPosition = at;
            if (lineEnded)
                break;
            if (length == CalendarLinePortion)
                break;
        }
        long unit = ContentUnit();
        if (unit < 0)
            break;
        line[length++] = static_cast<wchar_t>(unit);
        if (unit == L'\n')
            break;
    }
    line[length] = 0;
    return length;
}

void CloseCalendarFile()
{
    CalendarStreamState &s = CalendarStream;
    if (s.file != INVALID_HANDLE_VALUE)
        CloseHandle(s.file);
    s.file = INVALID_HANDLE_VALUE;
    std::vector<unsigned char>().swap(s.raw);
    std::vector<wchar_t>().swap(s.wideLine);
    std::vector<char>().swap(s.utf8Line);
}

bool IsCalendarOpen()
{
    return CalendarStream.file != INVALID_HANDLE_VALUE;
}
