/*
** RunGuarded: a C++ catch-all plus a structured-exception frame of our own. GCC for
** 32-bit Windows has no __try, and its C++ unwinder knows nothing of the host's frames,
** so a structured exception is caught by an exception-registration record linked into
** the thread's chain (fs:0) and ends with a jump back to the guard.
*/
#include "command_guard.h"

#include <windows.h>
#include <intrin.h>

namespace {

/* Layout of the OS's EXCEPTION_REGISTRATION_RECORD, then our jump buffer. It lives in
   the guard's stack frame, which the dispatcher requires of every record. */
struct GuardRecord {
    GuardRecord *previous;
    void *handler;
    void *jump[5]; /* __builtin_setjmp's buffer */
};

const DWORD ThreadNameException = 0x406D1388; /* debugger convention, always continued */

bool IsForDebugger(DWORD code)
{
    return code == DBG_PRINTEXCEPTION_C || code == 0x4001000A /* DBG_PRINTEXCEPTION_WIDE_C */ ||
           code == ThreadNameException || code == EXCEPTION_BREAKPOINT || code == EXCEPTION_SINGLE_STEP;
}

extern "C" EXCEPTION_DISPOSITION __cdecl GuardHandler(EXCEPTION_RECORD *exception, void *establisher, CONTEXT *,
                                                       void *)
{
    if (exception->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND))
        return ExceptionContinueSearch;
    if (IsForDebugger(exception->ExceptionCode))
        return ExceptionContinueSearch;
    GuardRecord *record = static_cast<GuardRecord *>(establisher);
    /* Let every frame between the raise and the guard run its unwind handlers (the
       host's cleanup), leaving our record at the head of the chain; then resume at the
       guard. Frames of the plug-in in between are C++ frames without structured
       handlers: they are simply abandoned. */
    RtlUnwind(record, nullptr, exception, nullptr);
    __builtin_longjmp(record->jump, 1);
}

} // namespace

bool RunGuarded(void (*command)())
{
    GuardRecord record;
    record.previous = reinterpret_cast<GuardRecord *>(__readfsdword(0));
    record.handler = reinterpret_cast<void *>(&GuardHandler);
    volatile bool finished = false;
    __writefsdword(0, reinterpret_cast<DWORD>(&record));
    if (__builtin_setjmp(record.jump) == 0) {
        try {
            command();
            finished = true;
        } catch (...) {
            finished = false;
        }
    }
    /* Reached both ways: normally, and by the jump from GuardHandler. */
    __writefsdword(0, reinterpret_cast<DWORD>(record.previous));
    return finished;
}
