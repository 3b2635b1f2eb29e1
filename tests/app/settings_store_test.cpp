// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/settings_store.h"

#include <gtest/gtest.h>

#include <QSettings>
#include <QVariant>
#include <utility>

namespace {

// The store over the settings folder of this test program, as a user editing the file by
// hand may leave it.
class SettingsStoreTest : public ::testing::Test {
 protected:
  void SetUp() override { OpenSettingsStore()->clear(); }
  static void Seed(const QString& key, const QVariant& value) {
    OpenSettingsStore()->setValue(key, value);
  }
};

TEST_F(SettingsStoreTest, StepOffTheListOrNoNumberGivesTheDefault) {
  EXPECT_EQ(LoadStepIndex(), 3);
  const std::pair<QVariant, int> cases[] = {{7, 7}, {0, 0}, {13, 13}, {14, 3}, {-1, 3}, {"abc", 3}};
  for (const auto& [stored, loaded] : cases) {
    Seed("Settings/Step", stored);
    EXPECT_EQ(LoadStepIndex(), loaded) << stored.toString().toStdString();
  }
  SaveStepIndex(12);
  EXPECT_EQ(OpenSettingsStore()->value("Settings/Step").toInt(), 12);
}

// Only the keys the program writes name a port: COM8 is not COM08.
TEST_F(SettingsStoreTest, PortMapHoldsTheComKeysOfThePortsGroup) {
  Seed("Ports/COM5", "/dev/serial/by-id/usb-radio-if00");
  Seed("Ports/COM97", "/dev/pts/42");
  Seed("Ports/COM6", "");
  Seed("Ports/COM08", "/dev/ttyUSB9");
  Seed("Ports/COMX", "/dev/ttyUSB8");
  Seed("Settings/Com", 3);
  const PortMap expected = {{5, "/dev/serial/by-id/usb-radio-if00"}, {6, ""}, {97, "/dev/pts/42"}};
  EXPECT_EQ(LoadPortMap(), expected);
}

}  // namespace
