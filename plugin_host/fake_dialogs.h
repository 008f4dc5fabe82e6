/*
** The replacements that the harness puts into a loaded plug-in's import table in place
** of the system's file dialogs and message box (see plugin_harness.h for their record).
*/
#ifndef FAKE_DIALOGS_H
#define FAKE_DIALOGS_H

#include <windows.h>

#include <commdlg.h>

#include "plugin_harness.h"

BOOL WINAPI FakeGetSaveFileNameW(OPENFILENAMEW *ofn);
BOOL WINAPI FakeGetOpenFileNameW(OPENFILENAMEW *ofn);
int WINAPI FakeMessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT style);

#endif
