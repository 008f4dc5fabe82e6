/*
** Helpers shared by the test programs: a scratch folder per test, whole-file reads and
** writes, paths beside the test program, UTF-8/UTF-16 conversion and the stand-in's call
** record as a vector.
*/
#ifndef TEST_SUPPORT_H
#define TEST_SUPPORT_H

#include <string>
#include <vector>

#include "utf8_text.h" /* Utf8, Wide */

/* A fresh empty folder under the temporary folder, removed with its contents when the
   object goes. Path() ends without a separator. */
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder &) = delete;
    ScratchFolder &operator=(const ScratchFolder &) = delete;

    const std::wstring &Path() const { return path_; }
    /* Path() + "\" + name. */
    std::wstring File(const std::wstring &name) const;

private:
    std::wstring path_;
};

/* The file's bytes; empty when it cannot be read (check FileExists when that matters). */
std::string ReadFileBytes(const std::wstring &path);
/* Creates or replaces the file; false when it cannot be written. */
bool WriteFileBytes(const std::wstring &path, const std::string &bytes);
bool FileExists(const std::wstring &path);

/* The full path of name in the folder of the running test program, where the build puts
   every module. */
std::wstring BesideTestProgram(const std::wstring &name);


/* The lines of a file's bytes split at CR LF (the line end of calendars and logs); a
   last line without CR LF is kept with "<no line end>" appended, so a test sees it. */
std::vector<std::string> CrLfSplit(const std::string &bytes);

/* StandIn_Call(0 .. StandIn_CallCount()-1). */
std::vector<std::string> RecordedCalls();

#endif
