/*
** The harness's own GetSaveFileNameW, GetOpenFileNameW and MessageBoxW, which a loaded
** plug-in calls in place of the real ones: they answer from the queue, note what the
** plug-in passed, and never open a window.
*/
#include "fake_dialogs.h"

#include <deque>

namespace {

std::deque<DialogAnswer> answers;
std::vector<SeenFileDialog> seenDialogs;
std::vector<SeenMessageBox> seenBoxes;

/* The filter list up to and including its closing empty string; a list that never
   closes is cut at a sane length instead of being read past its end. */
std::wstring ReadFilter(const wchar_t *filter)
{
    if (!filter)
        return std::wstring();
    const size_t limit = 4096;
    size_t n = 0;
    while (n + 1 < limit && !(filter[n] == 0 && filter[n + 1] == 0))
        ++n;
    return std::wstring(filter, n + 2 <= limit ? n + 2 : n);
}

std::wstring WithDefaultExtension(const std::wstring &path, const wchar_t *extension)
{
    size_t nameStart = path.find_last_of(L"\\/");
    nameStart = nameStart == std::wstring::npos ? 0 : nameStart + 1;
    if (!extension || !*extension || path.find(L'.', nameStart) != std::wstring::npos)
        return path;
    return path + L"." + extension;
}

BOOL AnswerFileDialog(OPENFILENAMEW *ofn, bool save)
{
    SeenFileDialog seen;
    seen.save = save;
    if (!ofn) {
        seenDialogs.push_back(seen);
        return FALSE;
    }
    seen.structSize = ofn->lStructSize;
    // A record shorter than the pre-2000 layout is refused by the real dialog
    // (CDERR_STRUCTSIZE); reading it further would run past the caller's memory.
    if (ofn->lStructSize < OPENFILENAME_SIZE_VERSION_400W) {
        seenDialogs.push_back(seen);
        if (!answers.empty())
            answers.pop_front();
        return FALSE;
    }
    bool full = ofn->lStructSize >= sizeof(OPENFILENAMEW);
    seen.owner = ofn->hwndOwner;
    seen.filter = ReadFilter(ofn->lpstrFilter);
    seen.filterIndex = ofn->nFilterIndex;
    seen.maxFile = ofn->nMaxFile;
    seen.fileBufferAllZero = ofn->lpstrFile != nullptr;
    for (DWORD i = 0; ofn->lpstrFile && i < ofn->nMaxFile; ++i)
        if (ofn->lpstrFile[i] != 0)
            seen.fileBufferAllZero = false;
    seen.fileTitleNull = ofn->lpstrFileTitle == nullptr;
    seen.initialDirNull = ofn->lpstrInitialDir == nullptr;
    seen.titleNull = ofn->lpstrTitle == nullptr;
    seen.flags = ofn->Flags;
    seen.defaultExtensionNull = ofn->lpstrDefExt == nullptr;
    if (ofn->lpstrDefExt)
        seen.defaultExtension = ofn->lpstrDefExt;
    seen.otherFieldsZero = ofn->hInstance == nullptr && ofn->lpstrCustomFilter == nullptr &&
                           ofn->nMaxCustFilter == 0 && ofn->nMaxFileTitle == 0 && ofn->nFileOffset == 0 &&
                           ofn->nFileExtension == 0 && ofn->lCustData == 0 && ofn->lpfnHook == nullptr &&
                           ofn->lpTemplateName == nullptr &&
                           (!full || (ofn->pvReserved == nullptr && ofn->dwReserved == 0 && ofn->FlagsEx == 0));
    seenDialogs.push_back(seen);

    if (answers.empty())
        return FALSE; // nobody queued an answer: the user cancelled
    DialogAnswer answer = std::move(answers.front());
    answers.pop_front();
    if (answer.cancel)
        return FALSE;
    std::wstring path = answer.typed ? WithDefaultExtension(answer.path, ofn->lpstrDefExt) : answer.path;
    // Too long for the caller's buffer: the real dialog fails (FNERR_BUFFERTOOSMALL).
    if (!ofn->lpstrFile || path.size() + 1 > ofn->nMaxFile)
        return FALSE;
    path.copy(ofn->lpstrFile, path.size());
    ofn->lpstrFile[path.size()] = 0;
    size_t nameStart = path.find_last_of(L"\\/");
    nameStart = nameStart == std::wstring::npos ? 0 : nameStart + 1;
    size_t dot = path.find(L'.', nameStart);
    ofn->nFileOffset = (WORD)nameStart;
    ofn->nFileExtension = (WORD)(dot == std::wstring::npos ? path.size() : dot + 1);
    if (answer.beforeReturn)
        answer.beforeReturn();
    return TRUE;
}

} // namespace

BOOL WINAPI FakeGetSaveFileNameW(OPENFILENAMEW *ofn)
{
    return AnswerFileDialog(ofn, true);
}

BOOL WINAPI FakeGetOpenFileNameW(OPENFILENAMEW *ofn)
{
    return AnswerFileDialog(ofn, false);
}

int WINAPI FakeMessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT style)
{
    seenBoxes.push_back(SeenMessageBox{owner, text ? text : L"", caption ? caption : L"", style});
    return IDOK;
}

void QueueDialogAnswer(DialogAnswer answer)
{
    answers.push_back(std::move(answer));
}

const std::vector<SeenFileDialog> &SeenFileDialogs()
{
    return seenDialogs;
}

const std::vector<SeenMessageBox> &SeenMessageBoxes()
{
    return seenBoxes;
}

void ClearHarnessRecord()
{
    answers.clear();
    seenDialogs.clear();
    seenBoxes.clear();
}
