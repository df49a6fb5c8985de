// The run-time operations the window program calls: panels loaded from a layout file, controls
// read and written by number, callbacks dispatched by name, line-wise text files, the clock and
// the default browser. Qt stays behind this header: nothing here includes a Qt header.
//
// Return values follow the historical run-time: 0 (or a handle) on success, a negative number on
// failure, unless an operation says otherwise.
#pragma once

#include <cstddef>
#include <string>

// Events delivered to callbacks.
inline constexpr int EVENT_COMMIT = 1;
inline constexpr int EVENT_VAL_CHANGED = 2;
inline constexpr int EVENT_LEFT_CLICK = 3;
inline constexpr int EVENT_GOT_FOCUS = 8;
inline constexpr int EVENT_LOST_FOCUS = 9;
inline constexpr int EVENT_CLOSE = 11;

// Attribute of a control or tab page: its label text.
inline constexpr int ATTR_LABEL_TEXT = 641;

// File operation arguments of CVI_OpenFile.
inline constexpr int VAL_READ_ONLY = 1;
inline constexpr int VAL_OPEN_AS_IS = 2;
inline constexpr int VAL_ASCII = 1;

using CtrlCallbackPtr = int (*)(int panel, int control, int event, void* callbackData,
                                int eventData1, int eventData2);
using PanelCallbackPtr = int (*)(int panel, int event, void* callbackData, int eventData1,
                                 int eventData2);

// One entry of the program's table of callback names; exactly one of the two pointers is set.
struct CallbackEntry {
  const char* name;
  CtrlCallbackPtr control;
  PanelCallbackPtr panel;
};

// Hands the run-time the program's callback table (the layout names callbacks; LoadPanel resolves
// them here). The table must outlive every panel.
void SetCallbackTable(const CallbackEntry* entries, std::size_t count);

// Starts the run-time; non-zero once it is ready. argv as main received it.
int InitCVIRTE(void* instance, char* argv[], void* reserved);
// Why the last InitCVIRTE returned 0.
const char* LastInitCVIRTEError();

// Loads panel `resourceId` of a layout file. A bare file name is looked up in the current
// directory first, then among the copies built into the program.
// A layout larger than 4 MiB, nesting elements deeper than 64 levels or holding more than 2,000
// widgets is refused before Qt builds it.
// @return the panel's handle (> 0), or a negative number; LastLoadPanelError() says why, naming
//   the file and, for a layout that does not parse or passes a bound inside, the line.
int LoadPanel(int parentPanel, const char* fileName, int resourceId);
const char* LastLoadPanelError();

int DisplayPanel(int panel);
int RunUserInterface();
int QuitUserInterface(int returnCode);
int DiscardPanel(int panel);

// Values of controls. A text is copied with its terminator, cut to fit `size` bytes. Texts set on
// labels (values and label texts alike) are shown as plain text, never as rich text or links.
int GetCtrlValText(int panel, int control, char* text, std::size_t size);
template <std::size_t N>
int GetCtrlVal(int panel, int control, char (&text)[N]) {
  return GetCtrlValText(panel, control, text, N);
}
int GetCtrlVal(int panel, int control, double* value);
int GetCtrlVal(int panel, int control, int* value);
int SetCtrlVal(int panel, int control, const char* text);
int SetCtrlVal(int panel, int control, double value);
int SetCtrlVal(int panel, int control, int value);

int SetCtrlAttribute(int panel, int control, int attribute, const char* value);
int SetTabPageAttribute(int panel, int tabControl, int pageIndex, int attribute, const char* value);
int GetPanelHandleFromTabPage(int panel, int tabControl, int pageIndex, int* pageHandle);

// Line-wise text files. A bare file name is looked up in the current directory first, then among
// the copies built into the program. Returns a handle, or -1. The file is read as its lines are,
// so its size costs nothing.
int CVI_OpenFile(const char* path, int readWrite, int action, int fileType);
// Reads the next line without its line end (a carriage return before the line feed is dropped)
// into `buffer`, at most `maxCharacters` characters, terminated; the rest of a longer line is
// skipped. A line is scanned for its end over at most 1 MiB: a longer line ends the file, so that
// the lines after it read as missing. Returns the number of characters stored, -2 at end of file,
// -1 on error (the buffer then holds the empty text).
int ReadLine(int handle, char* buffer, int maxCharacters);
int CVI_CloseFile(int handle);

// Local time of day and date (the year in full).
int CVI_GetSystemTime(int* hours, int* minutes, int* seconds);
int GetSystemDate(int* month, int* day, int* year);

// Opens a web address or a folder in the default browser or file manager; 0 on success.
int InetLaunchDefaultWebBrowser(const char* address);

// Shows a message to the operator, as plain text, and waits until it is acknowledged. Only the
// window program calls it: the logic below the window reports failures through return values.
int MessagePopup(const char* title, const char* message);

// Asks the operator a question with two answers, shown as plain text, and waits for the answer.
// @return 1 for the answer `yes`, 0 for `no` or a dialog closed without an answer
int AskPopup(const char* title, const char* message, const char* yes, const char* no);

// Lets the operator choose a folder, starting in `start`, and waits for the choice.
// @return 1 with the folder in `chosen`, 0 when the choice was cancelled
int DirSelectPopup(const std::string& start, const std::string& title, std::string& chosen);
