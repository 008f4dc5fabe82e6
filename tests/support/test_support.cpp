/*
** Test helpers over the Win32 file API: scratch folders, whole-file I/O and module
** paths. Everything is UTF-16 at the API, so paths with any characters work.
*/
#include "test_support.h"

#include <windows.h>

#include <cstdio>
#include <memory>

#include "standin_control.h"

namespace {

void RemoveTree(const std::wstring &folder)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            std::wstring path = folder + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path);
            } else {
                SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(path.c_str());
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
}

struct HandleCloser {
    void operator()(HANDLE h) const { CloseHandle(h); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

UniqueHandle OpenFile(const std::wstring &path, DWORD access, DWORD disposition)
{
    HANDLE h = CreateFileW(path.c_str(), access, FILE_SHARE_READ, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    return UniqueHandle(h == INVALID_HANDLE_VALUE ? nullptr : h);
}

} // namespace

ScratchFolder::ScratchFolder()
{
    wchar_t temp[MAX_PATH];
    DWORD n = GetTempPathW(MAX_PATH, temp);
    std::wstring base(temp, n);
    if (!base.empty() && (base.back() == L'\\' || base.back() == L'/'))
        base.pop_back();
    static unsigned counter = 0;
    for (;;) {
        path_ = base + L"\\plugin-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter);
        if (CreateDirectoryW(path_.c_str(), nullptr) || GetLastError() != ERROR_ALREADY_EXISTS)
            break;
    }
}

ScratchFolder::~ScratchFolder()
{
    RemoveTree(path_);
}

std::wstring ScratchFolder::File(const std::wstring &name) const
{
    return path_ + L"\\" + name;
}

std::string ReadFileBytes(const std::wstring &path)
{
    UniqueHandle file = OpenFile(path, GENERIC_READ, OPEN_EXISTING);
    std::string bytes;
    if (!file)
        return bytes;
    char chunk[65536];
    DWORD got = 0;
    while (ReadFile(file.get(), chunk, sizeof chunk, &got, nullptr) && got > 0)
        bytes.append(chunk, got);
    return bytes;
}

bool WriteFileBytes(const std::wstring &path, const std::string &bytes)
{
    UniqueHandle file = OpenFile(path, GENERIC_WRITE, CREATE_ALWAYS);
    DWORD written = 0;
    return file && WriteFile(file.get(), bytes.data(), (DWORD)bytes.size(), &written, nullptr) &&
           written == bytes.size();
}

bool FileExists(const std::wstring &path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring BesideTestProgram(const std::wstring &name)
{
    wchar_t self[MAX_PATH * 4];
    DWORD n = GetModuleFileNameW(nullptr, self, sizeof self / sizeof self[0]);
    std::wstring folder(self, n);
    size_t slash = folder.find_last_of(L"\\/");
    folder = slash == std::wstring::npos ? std::wstring(L".") : folder.substr(0, slash);
    return folder + L"\\" + name;
}

std::vector<std::string> CrLfSplit(const std::string &bytes)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(bytes.substr(start, end - start));
    if (start < bytes.size())
        lines.push_back(bytes.substr(start) + "<no line end>");
    return lines;
}

std::vector<std::string> RecordedCalls()
{
    std::vector<std::string> calls;
    for (int i = 0; i < StandIn_CallCount(); ++i)
        calls.push_back(StandIn_Call(i));
    return calls;
}
