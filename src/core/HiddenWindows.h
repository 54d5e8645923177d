#pragma once
// The record of hidden windows on disk: written before a hide takes any
// window away, kept while any of them may still be hidden, and read at the
// next start when the program ended without showing them. It lives in the
// user's own local application-data folder: a program folder the user
// cannot write still has one, and no other user reads it.
#include <windows.h>

#include <string>
#include <vector>

#include "core/HiddenRecord.h"

namespace core {

// "<local application data>\Veskara\HiddenWnd.Dat" of the user running the
// program; empty when the system names no such folder.
std::string HiddenRecordPath();

// When the process started (FILETIME), 0 when it cannot be asked: with the
// process id, it names one process for good.
std::uint64_t ProcessCreationTime(DWORD ProcessId);
// Sets ProcessCreated of each window, each process asked once.
void FindProcessCreationTimes(std::vector<THiddenWindow>& Windows);

// Writes the record of Windows (topmost first) in place of any earlier one,
// whole or not at all, making its folder when missing. Answers
// ERROR_SUCCESS or the system's error code: the hide goes on all the same.
DWORD WriteHiddenRecord(const std::string& FileName, const std::vector<THiddenWindow>& Windows);
// The sound as it was before the hide joins the record written last.
void RecordSavedVolume(const THiddenVolume& Volume);
// After a restore, the windows still waiting for their thread (none: the
// record goes now, unless earlier ones still wait). They stay in the record
// through the hides that follow until each is shown; the record goes with
// the last when no hide is in force.
void KeepLateWindowsRecorded(const std::string& FileName, const std::vector<THiddenWindow>& LateNow);
// A late window has been shown.
void LateWindowShown(HWND Wnd);
// The program ends with nothing hidden: what waits for its thread has been
// handed to it, and the record goes.
void EndHiddenRecord();

// At start, before anything else: for each window of a record that an
// earlier run left and that is still the window it hid (the same window of
// the same thread of the very same process), puts back the extended style
// the hide stripped, and shows it again, bottom first, when it is hidden or
// its thread is busy (a hide may still be queued there); then the sound the
// record keeps. A damaged or foreign record is left alone. Answers how many
// windows it showed.
int RecoverHiddenWindows(const std::string& FileName);

// Makes a failure that would end the program show the windows of the record
// written last before it ends; the record then keeps only the sound, for
// the next start to put back.
void ShowHiddenWindowsOnFailure();
// What that does, callable as it is: it needs no memory of its own (what it
// uses was made with the record) and never waits for a window's thread.
void ShowRecordedWindowsNow();

}  // namespace core
