#pragma once

#include <QStringList>

// Start-up: the window, the settings and the first list (the file named on the command
// line, or a new one).
class CIcomApp {
 public:
  CIcomApp(int& argc, char** argv);
  int Run();

 private:
  int& argc_;
  char** argv_;
};
