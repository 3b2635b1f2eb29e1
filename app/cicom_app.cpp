// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/cicom_app.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <cstdio>
#include <exception>
#include <set>

#include "app/about_dlg.h"
#include "app/cicom_view.h"
#include "app/main_frame.h"
#include "app/message_box.h"
#include "app/settings_store.h"
#include "common/texts.h"
#include "link/port_settings.h"
#include "link/receiver_models.h"
#include "sim/net_radio.h"
#include "sim/pty_radio.h"

namespace {

constexpr const char* kDesktopEntry = "quilvar";

// Options that Qt's application object reads and removes itself.
// clang-format off
const std::set<QString> kQtOptions = {
    "platform", "platformpluginpath", "platformtheme", "plugin", "qmljsdebugger",
    "qwindowgeometry", "qwindowicon", "qwindowtitle", "reverse", "session", "display",
    "geometry", "title", "name", "style", "stylesheet", "widgetcount", "dialogs",
    "fontengine", "nograb", "dograb", "visual", "ncols", "cmap", "sync"};
// clang-format on

void Print(FILE* stream, const QString& text) {
  std::fputs(text.toLocal8Bit().constData(), stream);
  std::fflush(stream);
}

// The simulated radio of a demonstration run, and where it is.
struct DemoRadio {
  std::unique_ptr<PtyRadio> serial;
  std::unique_ptr<NetRadio> network;
  QString where;
};

bool DemoStarted(bool started, const std::string& error) {
  if (!started) {
    std::fprintf(stderr, texts::kDemoFailed, error.c_str());
  }
  return started;
}

// A simulated radio of the link's model (an IC-R75 when none is chosen) behind the chosen
// port, or a simulated network radio on a free loopback port, for this run only, so the
// program can be tried without hardware. The settings change to reach it.
std::unique_ptr<DemoRadio> StartDemoRadio(const LinkControl& link, LinkSettings& settings) {
  auto demo = std::make_unique<DemoRadio>();
  if (link.RunsOnNetwork()) {
    SimRigctlOptions options;
    options.frequency = 9500000;
    demo->network = std::make_unique<NetRadio>(options);
    if (!DemoStarted(demo->network->Start(), demo->network->error())) return nullptr;
    settings.netHost = "127.0.0.1:" + std::to_string(demo->network->port());
    demo->where = QString::fromStdString(settings.netHost);
    return demo;
  }
  if (link.IsNone()) {
    settings.modelIndex = ModelIndexByName("IC-R75");
    settings.address = static_cast<int>(ModelAt(settings.modelIndex).defaultAddress);
  }
  SimRadioOptions options;
  options.modelIndex = settings.modelIndex;
  options.address = settings.address;
  options.frequency = 9500000;
  demo->serial = std::make_unique<PtyRadio>(options);
  if (!DemoStarted(demo->serial->Start(), demo->serial->error())) return nullptr;
  MapPortForThisRun(settings.comPort, demo->serial->slavePath());
  demo->where = QString("COM%1").arg(settings.comPort);
  return demo;
}

void InitError() {
  ShowMessageBox(nullptr, texts::kAppTitle, texts::kInitError, QMessageBox::Critical);
}

}  // namespace

CommandLine ParseCommandLine(const QStringList& arguments) {
  const QString program = QFileInfo(arguments.value(0, kDesktopEntry)).fileName();
  QCommandLineParser parser;
  // Qt's own options take one dash and a whole word.
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  parser.setApplicationDescription(texts::kDescription);
  const QCommandLineOption help({"h", "help"}, texts::kHelpOption);
  const QCommandLineOption version({"v", "version"}, texts::kVersionOption);
  const QCommandLineOption demo("demo", texts::kDemoOption);
  parser.addOption(help);
  parser.addOption(version);
  parser.addOption(demo);
  parser.addPositionalArgument("file", texts::kFileArgument, texts::kFileArgumentSyntax);

  CommandLine result;
  const bool parsed = parser.parse(arguments);
  if (parser.isSet(help)) {
    result.outcome = CommandLine::Outcome::kPrint;
    // Without an application object yet, Qt cannot know the program's name.
    result.text = parser.helpText().replace("<executable_name>", program);
    return result;
  }
  if (parser.isSet(version)) {
    result.outcome = CommandLine::Outcome::kPrint;
    result.text = QString("%1 %2\n").arg(texts::kAppTitle, ProgramVersion());
    return result;
  }
  if (!parsed) {
    QStringList unknown;
    for (const QString& name : parser.unknownOptionNames()) {
      if (!kQtOptions.contains(name)) unknown << name;
    }
    const bool onlyQtOptions = unknown.isEmpty() && !parser.unknownOptionNames().isEmpty();
    if (!onlyQtOptions) {
      result.outcome = CommandLine::Outcome::kFail;
      const QString error = unknown.isEmpty()
                                ? parser.errorText()
                                : QString(texts::kUnknownOption).arg(unknown.join("', '"));
      result.text = QString(texts::kBadCommandLine).arg(program, error);
      return result;
    }
  }
  result.file = parser.positionalArguments().value(0);
  result.demo = parser.isSet(demo);
  return result;
}

std::unique_ptr<CMainFrame> OpenFirstWindow(const QString& file, const LinkSettings& settings,
                                            const FrameFactory& makeFrame,
                                            const std::function<bool(CIcomView&)>& beforeShow) {
  std::unique_ptr<CMainFrame> frame;
  try {
    frame = makeFrame ? makeFrame() : std::make_unique<CMainFrame>();
  } catch (const std::exception&) {
    frame.reset();
  }
  if (!frame) {
    InitError();
    return nullptr;
  }
  frame->view().ApplySettings(settings, LoadScanInterval());
  if (beforeShow && !beforeShow(frame->view())) return nullptr;
  frame->show();
  // A list that cannot be read has been reported already; the program goes on with a new
  // one rather than ending.
  if (!file.isEmpty() && frame->OpenFile(file)) return frame;
  if (!frame->NewFile()) {
    InitError();
    return nullptr;
  }
  return frame;
}

CIcomApp::CIcomApp(int& argc, char** argv) : argc_(argc), argv_(argv) {}

int CIcomApp::Run() {
  // The names the settings store goes by, for whatever Qt keeps on the program's behalf.
  QApplication::setOrganizationName(kStoreOrganization);
  QApplication::setApplicationName(kStoreApplication);
  QApplication::setApplicationVersion(ProgramVersion());

  // Help, version and a wrong option are answered before the application object needs a
  // display.
  QStringList rawArguments;
  for (int i = 0; i < argc_; ++i) rawArguments << QString::fromLocal8Bit(argv_[i]);
  const CommandLine early = ParseCommandLine(rawArguments);
  if (early.outcome == CommandLine::Outcome::kPrint) {
    Print(stdout, early.text);
    return 0;
  }
  if (early.outcome == CommandLine::Outcome::kFail) {
    Print(stderr, early.text);
    return 1;
  }

  QApplication app(argc_, argv_);
  QApplication::setWindowIcon(ProgramIcon());
  QGuiApplication::setDesktopFileName(kDesktopEntry);
  // Read again now that Qt has taken its own options and their values out.
  const CommandLine request = ParseCommandLine(QApplication::arguments());

  LinkSettings settings = LoadLinkSettings();
  std::unique_ptr<DemoRadio> demoRadio;
  // The demonstration radio is chosen by the link the stored settings make, and the view
  // runs on the settings that reach it.
  std::function<bool(CIcomView&)> startDemo;
  if (request.demo) {
    startDemo = [&](CIcomView& view) {
      demoRadio = StartDemoRadio(view.link(), settings);
      if (demoRadio) view.ApplySettings(settings, LoadScanInterval());
      return demoRadio != nullptr;
    };
  }
  std::unique_ptr<CMainFrame> frame = OpenFirstWindow(request.file, settings, {}, startDemo);
  if (!frame) return 1;
  if (demoRadio) {
    frame->SetPaneText(
        StatusPane::kMessage,
        QString(texts::kDemoRunning).arg(frame->view().link().modelName(), demoRadio->where));
  }
  return app.exec();
}
