#pragma once
// The record of hidden windows on disk: written before a hide takes any
// window away, removed once they are all back, and read at the next start
// when the program ended without showing them.
#include <string>
#include <vector>

#include "core/HiddenRecord.h"

namespace core {

// Writes the record of Windows (topmost first) in place of any earlier one,
// whole or not at all. Answers false when it could not be written: the hide
// goes on all the same.
bool WriteHiddenRecord(const std::string& FileName, const std::vector<THiddenWindow>& Windows);
// The windows are back: the record goes.
void RemoveHiddenRecord(const std::string& FileName);

// At start, before anything else: shows again, bottom first and as a restore
// does, the windows of a record that an earlier run left — those that still
// exist, belong to the same process and thread and are still hidden — then
// removes the record. A record that is damaged, not ours or from an earlier
// start of the system is left alone. Answers how many windows it showed.
int RecoverHiddenWindows(const std::string& FileName);

// Makes a failure that would end the program show the windows of the record
// written last before it ends.
void ShowHiddenWindowsOnFailure();
// What that does, callable as it is: never waits for a window's thread.
void ShowRecordedWindowsNow();

// When the system started, in seconds, as this run sees it.
std::uint64_t SystemBootTime();

}  // namespace core
