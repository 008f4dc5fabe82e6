/*
** Declarations of the host's plug-in library zv_plugins.dll: every function the
** plug-ins call to read and change the host's tasks and contacts.
**
** All functions are cdecl with C linkage. Strings are NUL-terminated UTF-16. A string
** the host returns is never null and stays the host's: callers copy or convert it and
** never free it. Dates are OleDate values (OLE Automation dates, local time).
*/
#ifndef ZV_PLUGINS_H
#define ZV_PLUGINS_H

#include <windows.h>

#ifdef ZV_PLUGINS_BUILDING
#define ZV_PLUGINS_API __declspec(dllexport)
#else
#define ZV_PLUGINS_API __declspec(dllimport)
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef const wchar_t *TaskUid;
typedef const wchar_t *ContactUid;
typedef double OleDate;

/* Tasks: reading. */
ZV_PLUGINS_API int __cdecl AddinZV_Task_IsPresent(TaskUid task);
ZV_PLUGINS_API const wchar_t *__cdecl AddinZV_Task_GetTitle(TaskUid task);
ZV_PLUGINS_API int __cdecl AddinZV_Task_GetState(TaskUid task);
ZV_PLUGINS_API OleDate __cdecl AddinZV_Task_GetDateBegin(TaskUid task);
ZV_PLUGINS_API OleDate __cdecl AddinZV_Task_GetDateEnd(TaskUid task);
ZV_PLUGINS_API OleDate __cdecl AddinZV_Task_GetDateCreate(TaskUid task);
ZV_PLUGINS_API OleDate __cdecl AddinZV_Task_GetDateModification(TaskUid task);
ZV_PLUGINS_API int __cdecl AddinZV_Task_GetChildsCount(TaskUid task);
/* The returned UID stays valid across later calls while the task exists. */
ZV_PLUGINS_API TaskUid __cdecl AddinZV_Task_GetChildUID(TaskUid parent, int index);

/* Dates. */
ZV_PLUGINS_API OleDate __cdecl AddinZV_GetMinDate(void);
ZV_PLUGINS_API OleDate __cdecl AddinZV_GetMaxDate(void);
ZV_PLUGINS_API OleDate __cdecl AddinZV_GetCurrDate(void);
/* Fills *out and returns out. */
ZV_PLUGINS_API SYSTEMTIME *__cdecl AddinZV_GetSystemTimeFromOleDate(SYSTEMTIME *out, OleDate date);
ZV_PLUGINS_API OleDate __cdecl AddinZV_GetOleDateFromSystemTime(SYSTEMTIME time);

/* Tasks: changing. Results are the host's and the plug-ins ignore them. */
ZV_PLUGINS_API int __cdecl AddinZV_Task_Insert(const wchar_t *after, TaskUid parent, const wchar_t *title,
                                               OleDate created, int state, const wchar_t *notes,
                                               OleDate begin, OleDate end);
ZV_PLUGINS_API int __cdecl AddinZV_Task_SetTitle(TaskUid task, const wchar_t *title);
ZV_PLUGINS_API int __cdecl AddinZV_Task_SetDateBegin(TaskUid task, OleDate date);
ZV_PLUGINS_API int __cdecl AddinZV_Task_SetDateEnd(TaskUid task, OleDate date);
ZV_PLUGINS_API int __cdecl AddinZV_Task_SaveChanges(TaskUid task);
ZV_PLUGINS_API int __cdecl AddinZV_ChangesStart(void);
ZV_PLUGINS_API int __cdecl AddinZV_ChangesEnd(void);

/* The popup notice: XAML text and how long to show it, in milliseconds. */
ZV_PLUGINS_API int __cdecl AddinZV_ShowPopupCustom(const wchar_t *xaml, int showMilliseconds);

/* Contacts. */
ZV_PLUGINS_API int __cdecl AddinZV_Contact_IsPresent(ContactUid contact);
ZV_PLUGINS_API const wchar_t *__cdecl AddinZV_Contact_GetTitle(ContactUid contact);
ZV_PLUGINS_API int __cdecl AddinZV_Contact_GetCommunicationsCount(ContactUid contact);
/* Sets all three out-pointers to host strings: kind, label and value of the communication. */
ZV_PLUGINS_API int __cdecl AddinZV_Contact_GetCommunication(ContactUid contact, int index, const wchar_t **kind,
                                                            const wchar_t **label, const wchar_t **value);

#ifdef __cplusplus
}
#endif

#endif /* ZV_PLUGINS_H */
