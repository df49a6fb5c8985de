// Hooks of the run-time for the window tests and benchmarks: the widgets behind panels and
// controls, and replaceable clock, browser and message dialog so that a test neither waits on a
// dialog nor launches a browser. The program itself never calls these.
#pragma once

#include <ctime>
#include <string>

#include "cvirte.h"

class QWidget;

namespace cvirte_testing {

// The widget of a panel (a loaded form or a tab page) or of one of its controls; null if none.
QWidget* PanelWidget(int panel);
QWidget* ControlWidget(int panel, int control);

// Replaces the browser launch of InetLaunchDefaultWebBrowser; null restores the real one.
using BrowserLauncher = int (*)(const char* address);
void SetBrowserLauncher(BrowserLauncher launcher);

// Replaces the dialog of MessagePopup; null restores the real one.
using MessagePresenter = void (*)(const char* title, const char* message);
void SetMessagePresenter(MessagePresenter presenter);

// Replaces the question of AskPopup: returns 1 or 0 as the operator would; null restores the real
// dialog.
using QuestionPresenter = int (*)(const char* title, const char* message);
void SetQuestionPresenter(QuestionPresenter presenter);

// Replaces the folder dialog of DirSelectPopup; null restores the real one.
using FolderChooser = int (*)(const std::string& start, std::string& chosen);
void SetFolderChooser(FolderChooser chooser);

// Replaces the local clock of CVI_GetSystemTime and GetSystemDate; null restores the real one.
using LocalTimeSource = std::tm (*)();
void SetLocalTimeSource(LocalTimeSource source);

}  // namespace cvirte_testing
