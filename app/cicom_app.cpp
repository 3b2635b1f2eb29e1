#include "cicom_app.h"

#include <QApplication>
#include <cstdio>
#include <memory>

#include "cicom_view.h"
#include "main_frame.h"
#include "port_settings.h"
#include "pty_radio.h"
#include "receiver_models.h"
#include "settings_store.h"
#include "texts.h"

namespace {

constexpr const char* kDemoOption = "--demo";

// A simulated radio of the chosen model (an IC-R75 when none is chosen) behind the chosen
// port, for this run only, so the program can be tried without hardware.
std::unique_ptr<PtyRadio> StartDemoRadio(LinkSettings& settings) {
  if (IsNoneModel(settings.modelIndex)) {
    settings.modelIndex = ModelIndexByName("IC-R75");
    settings.address = static_cast<int>(ModelAt(settings.modelIndex).defaultAddress);
  }
  SimRadioOptions options;
  options.modelIndex = settings.modelIndex;
  options.address = settings.address;
  options.frequency = 9500000;
  auto radio = std::make_unique<PtyRadio>(options);
  if (!radio->Start()) {
    std::fprintf(stderr, "quilvar: the demonstration radio did not start: %s\n",
                 radio->error().c_str());
    return nullptr;
  }
  MapPortForThisRun(settings.comPort, radio->slavePath());
  return radio;
}

}  // namespace

CIcomApp::CIcomApp(int& argc, char** argv) : argc_(argc), argv_(argv) {}

int CIcomApp::Run() {
  QApplication app(argc_, argv_);
  QApplication::setOrganizationName("Corvanel");
  QApplication::setApplicationName(texts::kAppTitle);

  QStringList args = QApplication::arguments();
  args.removeFirst();
  LinkSettings settings = LoadLinkSettings();
  std::unique_ptr<PtyRadio> demoRadio;
  if (args.removeAll(kDemoOption) > 0) {
    demoRadio = StartDemoRadio(settings);
    if (!demoRadio) return 1;
  }

  CMainFrame frame;
  frame.view().ApplySettings(settings, LoadScanInterval());
  frame.show();
  if (demoRadio) {
    frame.SetPaneText(StatusPane::kMessage,
                      QString("Demo: a simulated %1 on COM%2 - use Comm > Connect")
                          .arg(ModelAt(settings.modelIndex).name)
                          .arg(settings.comPort));
  }

  const QString file = args.value(0);
  if (file.isEmpty() || !frame.OpenFile(file)) frame.NewFile();
  return app.exec();
}
