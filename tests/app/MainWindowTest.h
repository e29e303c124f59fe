// The main window as the tests that work through it need it: a program folder of its own, the
// application with stand-in start-up services, the language file, the main frame and its view.
#pragma once

#include "ShellTestSupport.h"
#include "app/KvIGMPTQApp.h"
#include "app/LangMag.h"
#include "app/MainFormView.h"
#include "app/MainFrame.h"
#include "platform/ScriptedPrompter.h"

#include <gtest/gtest.h>
#include <memory>
#include <optional>

struct MainWindowOptions
{
    const char *languageFile = "LangEng.lng";
    bool demo = false;            // the application in demo mode, else in hardware mode
    bool fakeLink = false;        // the shell's hardware calls recorded by a FakeLink instead of made
    bool frameOpened = true;      // the frame opened at once; else the test calls openFrame
    bool shown = true;            // the frame on screen
    bool menusRelabelled = false; // the menus relabelled in the language, as start-up does
};

class MainWindowTest : public testing::Test
{
protected:
    explicit MainWindowTest(const MainWindowOptions &chosen = {}) : options(chosen)
    {
        if (options.fakeLink)
            link.emplace();
        app = std::make_unique<CKvIGMPTQApp>(std::make_unique<FakeServices>(folder.path()));
        app->DemoMode = options.demo ? 1 : 0;
        g_LangMag.SetLangFile(folder.languageFile(options.languageFile));
        if (options.frameOpened)
            openFrame();
    }

    // A new main frame as the options say, and its view.
    void openFrame()
    {
        frame = std::make_unique<CMainFrame>(folder.path());
        if (options.menusRelabelled)
            frame->RelabelMenus();
        if (options.shown)
            frame->show();
        view = frame->View();
    }

    const MainWindowOptions options;
    ShellGlobalsGuard guard;
    TempProgramFolder folder;
    ScriptedPrompter prompter;
    std::optional<FakeLink> link;
    std::unique_ptr<CKvIGMPTQApp> app;
    std::unique_ptr<CMainFrame> frame;
    CMainFormView *view = nullptr;
};
