// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/cicom_app.h"

int main(int argc, char** argv) {
  CIcomApp app(argc, argv);
  return app.Run();
}
