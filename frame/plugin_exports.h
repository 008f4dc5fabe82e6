/*
** The six functions every plug-in exports to the host (cdecl, C linkage, plain names
** pinned by each deliverable's .def file). frame/ defines the three that both
** deliverables share; export/ and import/ define the other three.
*/
#ifndef FRAME_PLUGIN_EXPORTS_H
#define FRAME_PLUGIN_EXPORTS_H

extern "C" {
const wchar_t *__cdecl GetMainCommandName(void);
void __cdecl ExecuteMainCommand(void);
void __cdecl SetLanguage(const wchar_t *language);
const wchar_t *__cdecl GetContactMenuCommandName(void);
void __cdecl ChangedTask(const wchar_t *taskUid);
void __cdecl ContactMenuCommandExecute(const wchar_t *contactUids);
}

#endif /* FRAME_PLUGIN_EXPORTS_H */
