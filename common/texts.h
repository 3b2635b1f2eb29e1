// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Every text the program shows, so a reader can find each use. The menus' own texts, prompts
// and tool tips are in the command table.
namespace texts {

constexpr const char* kAppTitle = "Quilvar";
constexpr const char* kErrorCaption = "ERROR";
constexpr const char* kInitError = "Init ERROR";
constexpr const char* kOk = "OK";
constexpr const char* kCancel = "Cancel";

// The main window and its status bar.
constexpr const char* kWindowTitle = "Corvanel Quilvar III";
constexpr const char* kIdlePrompt = "Ready";
constexpr const char* kClockPlaceholder = "00:00 UTC     ";
constexpr const char* kClockPane = " %02d:%02d UTC";  // hour, minute
constexpr const char* kLockPanes[] = {"CAP", "NUM", "SCRL"};
constexpr const char* kDemoRunning = "Demo: a simulated %1 on %2 - use Comm > Connect";

// The command line; %1 is the program's name.
constexpr const char* kDescription =
    "Keeps a station list and drives a receiver or transceiver from it.";
constexpr const char* kHelpOption = "Shows this help and ends.";
constexpr const char* kVersionOption = "Shows the version and ends.";
constexpr const char* kDemoOption =
    "Puts a simulated radio of the chosen model (an IC-R75 when none is chosen) behind "
    "the chosen COM port, or a simulated network radio on a loopback port, for this run, "
    "to try the program without hardware.";
constexpr const char* kFileArgument = "The station list (.CSV) to open; a new list if none.";
constexpr const char* kFileArgumentSyntax = "[file]";
constexpr const char* kUnknownOption = "Unknown option '%1'.";
constexpr const char* kBadCommandLine = "%1: %2\nTry '%1 --help' for more information.\n";
constexpr const char* kDemoFailed = "quilvar: the demonstration radio did not start: %s\n";

// Opening, saving and importing lists; %1 is the file's path.
constexpr const char* kFileFilter = "CSV  Files (*.CSV)";
constexpr const char* kImportTitle = "Import Schedule";
// Season files come in both cases: HFCC's "A26all00.TXT", Aoki's "xta26.txt".
constexpr const char* kScheduleFilter =
    "Schedules (*.csv *.CSV *.txt *.TXT);;EiBi Schedules (*.csv *.CSV);;"
    "HFCC Season Files (*.TXT *.txt);;Aoki/NDXC Lists (*.txt *.TXT);;All Files (*)";
constexpr const char* kSavePrompt = "Save changes to %1?";  // the list's title
constexpr const char* kUntitled = "Untitled";
constexpr const char* kOpenFailed = "Failed to open document.";
constexpr const char* kNotAStationList =
    "%1 does not look like a station list (no ';' between its fields). Open it anyway?";
constexpr const char* kChangedOnDisk =
    "The list %1 was changed on disk. Reload it and lose your changes?";
constexpr const char* kFileNotFoundText = "%1 was not found.";
constexpr const char* kFileAccessDeniedText = "Access to %1 was denied.";
constexpr const char* kFileIsFolderText = "%1 is a folder, not a station list.";
constexpr const char* kFileNotRegularText = "%1 is not a station list (it is not a regular file).";
constexpr const char* kFileReadErrorText = "Encountered an unexpected error while reading %1.";
constexpr const char* kFileBinaryText = "%1 is not a station list (it contains binary data).";
constexpr const char* kFileTooLargeText =
    "%1 is too large to be a station list (it is larger than 256 MB).";
constexpr const char* kFileLineTooLongText =
    "%1 is not a station list (it has a line longer than 1 MB).";
constexpr const char* kFileNoMemoryText = "%1 cannot be opened: there is not enough memory for it.";
constexpr const char* kFileWriteErrorText = "Encountered an unexpected error while writing %1.";
constexpr const char* kFileDiskFullText = "Disk full while accessing %1.";
constexpr const char* kNotAScheduleText =
    "%1 is not a broadcast schedule (its first line does not name the fields kHz, Time(UTC) "
    "and Station).";
constexpr const char* kEmptyScheduleText = "%1 holds no broadcast schedule entries.";
// Entries, "entry" or "entries", skipped lines, "line" or "lines".
constexpr const char* kImportSummary = "Imported %1 %2, skipped %3 %4.";
constexpr const char* kEntry = "entry";
constexpr const char* kEntries = "entries";
constexpr const char* kLine = "line";
constexpr const char* kLines = "lines";

// The line commands and Find.
constexpr const char* kClearLinesQuestion = "Clear %1 line(s)?";    // count
constexpr const char* kDeleteLinesQuestion = "Delete %1 line(s)?";  // count
constexpr const char* kSortQuestion = "Sort by: %1 ?";              // column captions
constexpr const char* kEndOfFile = "End of file.";
constexpr const char* kFindTitle = "Find";
constexpr const char* kFindWhat = "Fi&nd what:";
constexpr const char* kMatchCase = "Match &case";
constexpr const char* kFindNext = "&Find Next";

// The Operating Frequency dialog.
constexpr const char* kFrequencyTitle = "Quilvar - Operating Frequency (kHz)";
constexpr const char* kSnap = "snap";
constexpr const char* kModeLabel = "Mode";
constexpr const char* kRead = "Read";
constexpr const char* kWrite = "Write";
constexpr const char* kAdd = "Add";
constexpr const char* kClose = "Close";
constexpr const char* kNoFrequency = ".";

// The Settings dialog.
constexpr const char* kSettingsTitle = "Settings";
constexpr const char* kProtocolLabel = "Protocol";
constexpr const char* kReceiverLabel = "Receiver";
constexpr const char* kAddressLabel = "Receiver Address";
constexpr const char* kComPortLabel = "COM Port";
constexpr const char* kDeviceLabel = "Device";
constexpr const char* kSpeedLabel = "Speed";
constexpr const char* kHostLabel = "Host";
constexpr const char* kScanLabel = "Scan interval (sec)";
constexpr const char* kUtcFormatLabel = "UTC format  [Add key]";
constexpr const char* kOffsetLabel = "Frequency offset column";
constexpr const char* kDetectedSuffix = "  (detected)";  // after a serial line found here
constexpr const char* kSettingsBadHost =
    "Host: enter a name or address with an optional port, such as localhost:4532, "
    "192.168.1.20:4532 or [::1]:4532.";

// The About box.
constexpr const char* kAboutTitle = "About";
constexpr const char* kAboutMaker = "Corvanel";
constexpr const char* kAboutYear = "2015";
constexpr const char* kAboutName = "%1  %2  -  %3";  // program, version, year
constexpr const char* kAboutNotice[] = {
    "Quilvar is free software: you may use it, pass it on and change it under the terms",
    "of the GNU General Public License, version 3 or (at your option) any later version.",
    "It comes as it is, without warranty of any kind; the author is not liable for any damage",
    "to radios, data or anything else that arises from its use: you use it at your own risk.",
};
constexpr const char* kInfoTitle = "Info";
// The dates of the grid, list box and edit box classes, shown on Shift+OK.
constexpr const char* kVersionDates = "EditGrid\t%1\n\nEditList\t%2\n\nEditBox\t%3";
constexpr const char* kEditGridDate = "14.12.2010";
constexpr const char* kEditListDate = "17.11.2010a";
constexpr const char* kEditBoxDate = "13.12.2010";

// The radio link's status texts.
constexpr const char* kWriteFreqBusy = "Write freq...";
constexpr const char* kWriteFreqDone = "Write freq done";
constexpr const char* kWriteFreqOk = "Write freq OK";
constexpr const char* kWriteFreqFailed = "Write freq Failed";
constexpr const char* kWriteFreqOutOfRange = "Write freq: out of range";
constexpr const char* kWriteModeBusy = "Write mode...";
constexpr const char* kWriteModeDone = "Write mode done";
constexpr const char* kWriteModeOk = "Write mode OK";
constexpr const char* kWriteModeFailed = "Write mode Failed";
constexpr const char* kGetFreqBusy = "Get freq...";
constexpr const char* kGetFreqDone = "Get freq done";
constexpr const char* kReadFailed = "Read Failed";
constexpr const char* kGetModeBusy = "Get mode...";
constexpr const char* kGetModeDone = "Get mode done";
constexpr const char* kTimeout = "Timeout";

constexpr const char* kNotFound = "%1  not found!";  // model name
constexpr const char* kLinkError = "%1:  ERROR %2";  // call, code
constexpr const char* kReceiverError = "Receiver error.";
constexpr const char* kInterrupted = "Interrupted by user.";
constexpr const char* kCreateThreadFailed = "CreateThread failed.";
// A failed system call of the serial port: call, error in hex and decimal, its description.
constexpr const char* kApiError = "%s failed: Error %Xh (%u)\n\n%s";

constexpr const char* kConnectionCiv = " %1  %2  COM%3  %4";  // name, address (2 hex), port, baud
constexpr const char* kConnectionCat = " %1  COM%2  %3";      // name, port, baud
constexpr const char* kConnectionNet = " %1  %2";             // name, host:port

// The network radio; %1 is the host as the user typed it.
constexpr const char* kNetBadHost =
    "\"%1\" is not a host. In Settings, enter a name or address with an optional port, "
    "such as localhost:4532 or [::1]:4532.";
constexpr const char* kNetUnknownHost = "Cannot connect to %1: unknown host (%2).";
constexpr const char* kNetCannotConnect = "Cannot connect to %1: %2.";
constexpr const char* kNetConnectTimeout = "Cannot connect to %1: no answer within %2 seconds.";
constexpr const char* kNetNoAnswer = "No radio answers at %1.";
constexpr const char* kNetClosed = "The connection to %1 was closed.";
constexpr const char* kNetSilent = "No answer from %1 for %2 s.";  // host, whole seconds
constexpr const char* kNetServerError = "%1 refused the command: RPRT %2 (%3).";
constexpr const char* kNetMalformed = "%1 sent an answer that is not understood: \"%2\".";
// The server's result codes 0, -1, -2, ... in the user's words, for kNetServerError.
constexpr const char* kNetResults[] = {
    "done",
    "invalid parameter",
    "invalid configuration",
    "out of memory",
    "not implemented",
    "the radio did not answer in time",
    "input/output error",
    "internal error",
    "protocol error",
    "rejected by the radio",
    "text cut short",
    "not available",
    "VFO cannot be targeted",
    "bus error",
    "bus collision",
    "invalid argument",
    "invalid VFO",
    "argument out of range",
};
constexpr const char* kNetResultUnknown = "unknown error";
// What failed, in kLinkError.
constexpr const char* kCallOpen = "Open";
constexpr const char* kCallWrite = "WRITE";

constexpr const char* kIndicatorOk = "OK";
constexpr const char* kIndicatorReceiverError = "RECEIVER ERROR";
constexpr const char* kIndicatorCommError = "COMM ERROR";
constexpr const char* kIndicatorUnknown = "?";

}  // namespace texts
