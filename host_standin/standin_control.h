/*
** The stand-in zv_plugins.dll's own control surface, for the command-line host, the
** tests and the benchmarks: load and save the in-memory task model, read the record of
** every AddinZV_ call in order, and make a chosen call fail.
**
** Strings returned here are UTF-8, owned by the stand-in, and valid until the next call
** of the same function (or of StandIn_LoadTask*, which resets the record).
*/
#ifndef STANDIN_CONTROL_H
#define STANDIN_CONTROL_H

#ifdef ZV_PLUGINS_BUILDING
#define STANDIN_API __declspec(dllexport)
#else
#define STANDIN_API __declspec(dllimport)
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Exception code raised by a call told to fail with STANDIN_FAIL_RAISE. It is a Win32
   structured exception, the only kind that can cross from a host into a plug-in built
   by another compiler. */
#define STANDIN_HOST_EXCEPTION 0xE0485354u /* 'HST' */

enum StandInFailMode {
    STANDIN_FAIL_RAISE = 1,     /* RaiseException(STANDIN_HOST_EXCEPTION) */
    STANDIN_FAIL_TERMINATE = 2, /* the host dies: TerminateProcess(exit code 3) */
    STANDIN_FAIL_CXX_THROW = 3  /* a C++ throw from inside the host */
};

/* Replace the model by a task file (UTF-8 JSON; see host_standin/README.md).
   Returns 1 on success; 0 with StandIn_LastError() saying why. Clears the call record. */
STANDIN_API int __cdecl StandIn_LoadTaskFile(const wchar_t *path);
STANDIN_API int __cdecl StandIn_LoadTaskJson(const char *utf8Json);
/* The model as a task file. */
STANDIN_API const char *__cdecl StandIn_TaskJson(void);
STANDIN_API int __cdecl StandIn_SaveTaskFile(const wchar_t *path);
STANDIN_API const char *__cdecl StandIn_LastError(void);

/* The call record: one line per AddinZV_ call, in order, such as
   AddinZV_Task_SetTitle("A1", "Plan") or AddinZV_Task_SetDateBegin("A1", 2024-01-15 09:30:00). */
STANDIN_API int __cdecl StandIn_CallCount(void);
STANDIN_API const char *__cdecl StandIn_Call(int index);
STANDIN_API void __cdecl StandIn_ClearCalls(void);
/* Off: calls are not recorded (benchmarks). On by default. */
STANDIN_API void __cdecl StandIn_SetRecording(int on);

/* Make the nth call (1-based, counted from now) of the named function fail in the given
   mode. One rule at a time; a null name clears it. */
STANDIN_API void __cdecl StandIn_FailOnCall(const char *functionName, int nth, int mode);

/* Depth of the change bracket: ChangesStart minus ChangesEnd so far. */
STANDIN_API int __cdecl StandIn_ChangesDepth(void);
/* Number of AddinZV_ calls made since the model was loaded (recorded or not). */
STANDIN_API long __cdecl StandIn_TotalCalls(void);
/* Time-stamp counter ticks spent inside the AddinZV_ functions since the module loaded. */
STANDIN_API unsigned long long __cdecl StandIn_HostTicks(void);
/* Number of AddinZV_Task_SaveChanges and AddinZV_Task_Insert calls that changed the
   model since it was loaded: non-zero means the task file is worth saving. */
STANDIN_API long __cdecl StandIn_AppliedChanges(void);

/* The popups shown since the model was loaded, in order: the XAML text (UTF-8) and the
   integer passed with it. A bad index gives "" and 0. */
STANDIN_API int __cdecl StandIn_PopupCount(void);
STANDIN_API const char *__cdecl StandIn_PopupXaml(int index);
STANDIN_API int __cdecl StandIn_PopupMilliseconds(int index);

#ifdef __cplusplus
}
#endif

#endif /* STANDIN_CONTROL_H */
