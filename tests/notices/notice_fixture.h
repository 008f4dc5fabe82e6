/*
** What the notice tests share: both deliverables loaded once through the harness, a task
** file put into the stand-in per test, and readers for what the user was shown (popup
** XAML, message boxes) and for the host calls made.
*/
#ifndef NOTICE_FIXTURE_H
#define NOTICE_FIXTURE_H

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "both_plugins_test.h"
#include "plugin_harness.h"

class NoticeTest : public BothPluginsTest {
protected:
    void SetUp() override;

    /* Replaces the stand-in's model (which clears its call record) and the harness's
       record; fails the test when the stand-in refuses the file. */
    static void LoadTasks(const std::string &utf8Json);

    /* The XAML of every popup shown since the model was loaded, in order, as UTF-16. */
    static std::vector<std::wstring> PopupXamls();
    /* The host calls made since the model was loaded whose name starts with prefix. */
    static std::vector<std::string> CallsTo(const std::string &prefix);
};

/* The text between the TextBlock's opening tag and "  </TextBlock>", as it stands in the
   XAML (still escaped); a marker text when the XAML lacks either. */
std::wstring TextBlockContent(const std::wstring &xaml);

/* A JSON string literal for UTF-16 text, escaping what JSON requires. */
std::string JsonString(const std::wstring &text);

#endif
