// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Every text the program shows for the radio link, so a reader can find each use.
namespace texts {

constexpr const char* kAppTitle = "Quilvar";
constexpr const char* kErrorCaption = "ERROR";

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

// Opening a list; %1 is the file's path.
constexpr const char* kNotAStationList =
    "%1 does not look like a station list (no ';' between its fields). Open it anyway?";

constexpr const char* kIndicatorOk = "OK";
constexpr const char* kIndicatorReceiverError = "RECEIVER ERROR";
constexpr const char* kIndicatorCommError = "COMM ERROR";
constexpr const char* kIndicatorUnknown = "?";

}  // namespace texts
