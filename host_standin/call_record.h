/*
** The record of AddinZV_ calls and the injected failures. Every export starts with
** NoteCall(name, args...), which appends one line (when recording is on), counts the
** call and fires the failure rule when this is the chosen call.
*/
#ifndef STANDIN_CALL_RECORD_H
#define STANDIN_CALL_RECORD_H

#include <windows.h>

#include <string>
#include <vector>

struct CallRecord {
    std::vector<std::string> lines;
    bool recording = true;
    long totalCalls = 0;
    /* The failure rule: the nth call of failName from now fails in failMode. */
    std::string failName;
    int failCountdown = 0;
    int failMode = 0;
};

CallRecord &TheCallRecord();

/* The time spent inside the host's functions, in time-stamp counter ticks: every export
   opens a HostCallTimer first, so that a benchmark can tell the host's share of a
   command from the plug-in's own (about 10 ns a reading). No export calls another. */
unsigned long long &TheHostTicks();

class HostCallTimer {
public:
    HostCallTimer();
    ~HostCallTimer();
    HostCallTimer(const HostCallTimer &) = delete;
    HostCallTimer &operator=(const HostCallTimer &) = delete;

private:
    unsigned long long start;
};

/* Argument formatting, one overload per argument kind of the host interface. */
void AppendCallArg(std::string &line, const wchar_t *text); /* "text", or null */
void AppendCallArg(std::string &line, int number);          /* decimal */
void AppendCallArg(std::string &line, double date);         /* date text, else %.10g */
void AppendCallArg(std::string &line, const SYSTEMTIME &time);

/* Counts the call and fires the rule; called after the line is recorded, so the record
   shows the call that failed. */
void CountCallAndMaybeFail(const char *name);

inline void AppendCallArgs(std::string &) {}
template <class First, class... Rest>
void AppendCallArgs(std::string &line, const First &first, const Rest &...rest)
{
    AppendCallArg(line, first);
    if (sizeof...(rest) > 0)
        line += ", ";
    AppendCallArgs(line, rest...);
}

template <class... Args>
void NoteCall(const char *name, const Args &...args)
{
    CallRecord &record = TheCallRecord();
    if (record.recording) {
        std::string line = name;
        line += '(';
        AppendCallArgs(line, args...);
        line += ')';
        record.lines.push_back(std::move(line));
    }
    CountCallAndMaybeFail(name);
}

#endif
