/*
** Formatting of call-record lines and the firing of injected failures: a structured
** exception, the death of the process, or a C++ throw.
*/
#include "call_record.h"

#include <x86intrin.h>

#include <cstdio>
#include <stdexcept>

#include "ole_date_text.h"
#include "standin_control.h"
#include "text_utf.h"

CallRecord &TheCallRecord()
{
    static CallRecord record;
    return record;
}

void AppendCallArg(std::string &line, const wchar_t *text)
{
    if (!text) {
        line += "null";
        return;
    }
    line += '"';
    line += WideToUtf8(text);
    line += '"';
}

void AppendCallArg(std::string &line, int number)
{
    line += std::to_string(number);
}

void AppendCallArg(std::string &line, double date)
{
    std::string text = ExactDateText(date);
    if (text.empty()) {
        char number[32];
        snprintf(number, sizeof number, "%.10g", date);
        text = number;
    }
    line += text;
}

void AppendCallArg(std::string &line, const SYSTEMTIME &time)
{
    line += SystemTimeText(time);
}

unsigned long long &TheHostTicks()
{
    static unsigned long long ticks;
    return ticks;
}

HostCallTimer::HostCallTimer() : start(__rdtsc()) {}

HostCallTimer::~HostCallTimer()
{
    TheHostTicks() += __rdtsc() - start;
}

void CountCallAndMaybeFail(const char *name)
{
    CallRecord &record = TheCallRecord();
    ++record.totalCalls;
    if (record.failCountdown <= 0 || record.failName != name || --record.failCountdown > 0)
        return;
    int mode = record.failMode;
    record.failName.clear();
    switch (mode) {
    case STANDIN_FAIL_RAISE:
        // Continuable: a vectored handler that returns EXCEPTION_CONTINUE_EXECUTION lets
        // the call go on as if nothing happened.
        RaiseException(STANDIN_HOST_EXCEPTION, 0, 0, nullptr);
        break;
    case STANDIN_FAIL_TERMINATE:
        // The host dies on the spot: no destructor, no flush, no DLL detach.
        TerminateProcess(GetCurrentProcess(), 3);
        break;
    case STANDIN_FAIL_CXX_THROW:
        // libgcc is linked statically into each module, so this unwinds only inside the
        // stand-in; if it reaches a frame of another module the process aborts.
        throw std::runtime_error(std::string("stand-in host failure in ") + name);
    default:
        break;
    }
}
