#include "cicom_app.h"

int main(int argc, char** argv) {
  CIcomApp app(argc, argv);
  return app.Run();
}
