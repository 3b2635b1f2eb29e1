// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class CIcomView;
class CMainFrame;
struct LinkSettings;

// What the command line asks for.
struct CommandLine {
  enum class Outcome { kStart, kPrint, kFail };
  Outcome outcome = Outcome::kStart;
  // kPrint: the text for standard output (help, version); kFail: the message for standard
  // error.
  QString text;
  // The list to open; empty for a new list.
  QString file;
  bool demo = false;
};

// Reads the arguments (the program's name first). The options of Qt's own (-platform,
// -style, ...) are let through, so the same arguments can be read before and after the
// application object has taken those out.
CommandLine ParseCommandLine(const QStringList& arguments);

// Makes the main window, shows it and opens the named list, or a new one when none is named
// or it cannot be read. When the window cannot be made, "Init ERROR" is shown and the
// result is null. The frame is made by `makeFrame` when one is given. `beforeShow` runs on
// the view once it has the settings; when it returns false, the window is not shown and
// the result is null.
using FrameFactory = std::function<std::unique_ptr<CMainFrame>()>;
std::unique_ptr<CMainFrame> OpenFirstWindow(const QString& file, const LinkSettings& settings,
                                            const FrameFactory& makeFrame = {},
                                            const std::function<bool(CIcomView&)>& beforeShow = {});

// Start-up: the names the settings live under, the command line, the window and the first
// list.
class CIcomApp {
 public:
  CIcomApp(int& argc, char** argv);
  int Run();

 private:
  int& argc_;
  char** argv_;
};
