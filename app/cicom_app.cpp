#include "cicom_app.h"

#include <QApplication>

#include "cicom_view.h"
#include "main_frame.h"
#include "settings_store.h"
#include "texts.h"

CIcomApp::CIcomApp(int& argc, char** argv) : argc_(argc), argv_(argv) {}

int CIcomApp::Run() {
  QApplication app(argc_, argv_);
  QApplication::setOrganizationName("Corvanel");
  QApplication::setApplicationName(texts::kAppTitle);

  CMainFrame frame;
  frame.view().ApplySettings(LoadLinkSettings(), LoadScanInterval());
  frame.show();

  const QStringList args = QApplication::arguments();
  const QString file = args.size() > 1 ? args[1] : QString();
  if (file.isEmpty() || !frame.OpenFile(file)) frame.NewFile();
  return app.exec();
}
