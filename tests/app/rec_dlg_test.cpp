// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/port_settings.h"
#include "tests/app/rec_dlg_fixture.h"

namespace {

TEST_F(RecDlgTest, LabelsTopToBottom) {
  Open();
  EXPECT_EQ(dlg_->windowTitle(), "Settings");
  auto* form = qobject_cast<QFormLayout*>(dlg_->layout());
  QStringList labels;
  for (int row = 0; row < form->rowCount(); ++row) {
    if (auto* label = form->itemAt(row, QFormLayout::LabelRole)) {
      labels << qobject_cast<QLabel*>(label->widget())->text();
    }
  }
  EXPECT_EQ(labels, QStringList({"Protocol", "Receiver", "Receiver Address", "COM Port", "Device",
                                 "Speed", "Host", "Scan interval (sec)", "UTC format  [Add key]",
                                 "Frequency offset column"}));
}

TEST_F(RecDlgTest, FreshStoreShowsTheDefaults) {
  Open(4);
  EXPECT_EQ(Shown("protocol"), "CI-V");
  EXPECT_EQ(Shown("receiver"), "IC-78");
  EXPECT_EQ(Shown("address"), "5A");
  EXPECT_EQ(Combo("comPort")->currentIndex(), 0);
  EXPECT_EQ(Shown("comPort").left(5).trimmed(), "COM1");
  EXPECT_EQ(Shown("device"), "/dev/ttyS0");
  EXPECT_EQ(Shown("speed"), "9600");
  EXPECT_EQ(Edit("scanInterval")->text(), "2");
  EXPECT_EQ(Shown("utcFormat"), "HHMM");
  EXPECT_EQ(Edit("offsetColumn")->text(), "4");
  EXPECT_FALSE(Edit("offsetColumn")->isEnabled());
}

TEST_F(RecDlgTest, OkStoresEveryValueUnderItsName) {
  Open(4);
  Choose("receiver", "IC-7100");
  Choose("comPort", "COM3");
  Choose("speed", "19200");
  Type(Edit("scanInterval"), "15");
  Choose("utcFormat", "HHMM mm-dd-yy");
  Press("ok");
  EXPECT_EQ(dlg_->result(), QDialog::Accepted);
  const std::pair<const char*, int> expected[] = {{"Rx", 70},      {"Address", 0x88}, {"Com", 3},
                                                  {"Baud", 19200}, {"Scan", 15},      {"utc", 2}};
  for (const auto& [name, value] : expected) {
    EXPECT_EQ(Stored(QString("Settings/") + name).toInt(), value) << name;
  }
  EXPECT_EQ(dlg_->settings().link.modelIndex, 42);
  EXPECT_EQ(dlg_->offsetColumn(), 4);
}

TEST_F(RecDlgTest, LoadingKeepsValuesInRange) {
  const std::pair<const char*, int> stored[] = {
      {"Rx", 28}, {"Address", 0x15A}, {"Com", 0}, {"Scan", -4}, {"utc", 4}};
  for (const auto& [key, value] : stored) Seed(QString("Settings/") + key, value);
  StoredSettings loaded = LoadSettings();
  EXPECT_EQ(loaded.link.modelIndex, 0);  // no model has id 28
  EXPECT_EQ(loaded.link.address, 0x5A);
  EXPECT_EQ(loaded.link.comPort, 0);
  EXPECT_EQ(loaded.scanSeconds, -4);
  EXPECT_EQ(loaded.utcFormat, 0);
  Seed("Settings/utc", -1);
  Seed("Settings/Rx", 76);
  loaded = LoadSettings();
  EXPECT_EQ(loaded.utcFormat, 0);
  EXPECT_EQ(loaded.link.modelIndex, 51);
  // A speed no line runs at would fail only at Connect.
  for (const char* baud : {"fast", "", "4800 baud"}) {
    Seed("Settings/Baud", baud);
    EXPECT_EQ(LoadSettings().link.baudRate, 9600) << baud;
  }
  Seed("Settings/Baud", "19200");
  EXPECT_EQ(LoadSettings().link.baudRate, 19200);
}

TEST_F(RecDlgTest, ChoosingAReceiverProposesItsAddress) {
  const std::pair<const char*, const char*> cases[] = {
      {"IC-R75", "5A"}, {"IC-7100", "88"}, {"IC-7851", "8E"}, {"IC-R8500", "4A"}, {"IC-R2", "EE"}};
  for (const auto& [receiver, address] : cases) {
    Seed("Settings/Address", 0x10);
    Open();
    Choose("receiver", receiver);
    EXPECT_EQ(Shown("address"), address) << receiver;
    Press("ok");
    EXPECT_EQ(Stored("Settings/Address").toInt(), QString(address).toInt(nullptr, 16));
  }
}

TEST_F(RecDlgTest, ProtocolDecidesReceiversAndControls) {
  Open();
  Choose("protocol", "CAT");
  EXPECT_EQ(Items("receiver"), QStringList({"FT-817", "FT-847", "FT-857", "FT-897"}));
  EXPECT_FALSE(Combo("address")->isEnabled());
  EXPECT_TRUE(Combo("comPort")->isEnabled());
  EXPECT_EQ(Items("speed"), QStringList({"4800", "9600", "38400"}));
  EXPECT_EQ(Shown("speed"), "9600");

  Choose("protocol", "None");
  EXPECT_EQ(Items("receiver"), QStringList({"None"}));
  for (const char* name : {"address", "comPort", "device", "speed"}) {
    EXPECT_FALSE(Combo(name)->isEnabled()) << name;
  }

  // Back under CI-V the first receiver's address is proposed.
  Choose("protocol", "CI-V");
  EXPECT_EQ(Combo("receiver")->count(), 65);
  EXPECT_EQ(Shown("receiver"), "IC-78");
  EXPECT_EQ(Shown("address"), "62");
  EXPECT_EQ(Items("speed"), QStringList({"300", "1200", "4800", "9600", "19200"}));
  EXPECT_TRUE(Combo("address")->isEnabled());
}

TEST_F(RecDlgTest, ReceiverListSelectsTheStoredModelByPrefix) {
  struct Case {
    int id;
    const char* protocol;
    const char* receiver;
  };
  // IC-703 and IC-706II are prefixes of the entries after them; IC-78 is found at the top.
  const Case cases[] = {{40, "CI-V", "IC-78"}, {5, "CI-V", "IC-703"},      {8, "CI-V", "IC-706II"},
                        {62, "CAT", "FT-857"}, {100, "Network", "rigctl"}, {1, "None", "None"},
                        {-1, "CI-V", "IC-78"}};
  for (const Case& c : cases) {
    Seed("Settings/Rx", c.id);
    Open();
    EXPECT_EQ(Shown("protocol"), c.protocol) << c.id;
    EXPECT_EQ(Shown("receiver"), c.receiver) << c.id;
  }
  // A model of another protocol is not in the list: its first entry is taken.
  Seed("Settings/Rx", 62);
  Open();
  Choose("protocol", "CI-V");
  EXPECT_EQ(Shown("receiver"), "IC-78");
  Choose("protocol", "CAT");
  EXPECT_EQ(Shown("receiver"), "FT-857");
}

TEST_F(RecDlgTest, SpeedShownIsTheStoredOneOr9600) {
  struct Case {
    int id;
    int baud;
    const char* shown;
  };
  const Case cases[] = {
      {40, 38400, "9600"}, {40, 1200, "1200"}, {60, 38400, "38400"}, {60, 19200, "9600"}};
  for (const Case& c : cases) {
    Seed("Settings/Rx", c.id);
    Seed("Settings/Baud", c.baud);
    Open();
    EXPECT_EQ(Shown("speed"), c.shown) << c.id << " " << c.baud;
    Press("ok");
    EXPECT_EQ(Stored("Settings/Baud").toString(), c.shown);
  }
}

TEST_F(RecDlgTest, ScanIntervalIsStoredAsTheTimerRunsIt) {
  // Above a day the timer runs a day; negative numbers stay as typed.
  const std::pair<const char*, int> cases[] = {
      {"0", 1},   {"1", 1},         {"abc", 1},       {"", 1},           {"-5", -5},
      {"30", 30}, {"86400", 86400}, {"86401", 86400}, {"999999", 86400}, {"-99999", -99999}};
  for (const auto& [typed, stored] : cases) {
    Open();
    Type(Edit("scanInterval"), typed);
    Press("ok");
    EXPECT_EQ(Stored("Settings/Scan").toInt(), stored) << typed;
  }
  Seed("Settings/Scan", -5);
  Open();
  EXPECT_EQ(Edit("scanInterval")->text(), "1");
}

TEST_F(RecDlgTest, CancelStoresNothing) {
  Seed("Ports/COM2", "/dev/pts/77");
  Open(3);
  Choose("protocol", "CAT");
  Choose("comPort", "COM2");
  Type(Combo("device")->lineEdit(), "/dev/ttyUSB5");
  Type(Edit("scanInterval"), "9");
  Press("cancel");
  EXPECT_EQ(dlg_->result(), QDialog::Rejected);
  EXPECT_FALSE(Stored("Settings/Rx").isValid());
  EXPECT_FALSE(Stored("Settings/Scan").isValid());
  EXPECT_EQ(Stored("Ports/COM2").toString(), "/dev/pts/77");
  EXPECT_EQ(dlg_->settings().link.modelIndex, 0);
  EXPECT_EQ(dlg_->offsetColumn(), 3);
}

// Ports come and go while the program runs, so every opening of the list looks again.
TEST_F(RecDlgTest, ComListIsBuiltAgainOnEveryOpeningAndEmptyChoicesKeepTheStoredValues) {
  TtyTree tree;
  ASSERT_TRUE(tree.ready());
  folders_ = tree.folders();
  // Not an address a radio can carry: this program's own.
  Seed("Settings/Address", 0xE0);
  Seed("Settings/Com", 7);
  Open();
  EXPECT_EQ(Combo("address")->currentIndex(), -1);
  EXPECT_EQ(Shown("comPort").left(5).trimmed(), "COM7");
  Seed("Ports/COM12", QString::fromStdString(tree.Add("ttyUSB1", true)));
  Combo("comPort")->showPopup();
  EXPECT_EQ(Combo("comPort")->currentIndex(), -1);
  const QStringList items = Items("comPort");
  ASSERT_EQ(items.size(), 99);
  EXPECT_EQ(items[11], "COM12  (detected)");
  EXPECT_EQ(items[98].left(5), "COM99");
  QTest::keyClick(Combo("comPort")->view(), Qt::Key_Escape);
  Press("ok");
  EXPECT_EQ(Stored("Settings/Address").toInt(), 0xE0);
  EXPECT_EQ(Stored("Settings/Com").toInt(), 7);
}

TEST_F(RecDlgTest, DeviceFollowsThePortAndIsStoredUnderIt) {
  Seed("Settings/Com", 5);
  Seed("Ports/COM7", "/dev/serial/by-id/usb-radio-if00");
  Open();
  EXPECT_EQ(Shown("device"), "/dev/ttyS4");
  Choose("comPort", "COM33");
  EXPECT_EQ(Shown("device"), "/dev/ttyUSB0");
  Choose("comPort", "COM7");
  EXPECT_EQ(Shown("device"), "/dev/serial/by-id/usb-radio-if00");

  Choose("comPort", "COM5");
  Type(Combo("device")->lineEdit(), "/dev/pts/31");
  Press("ok");
  EXPECT_EQ(Stored("Settings/Com").toInt(), 5);
  EXPECT_EQ(Stored("Ports/COM5").toString(), "/dev/pts/31");
  EXPECT_EQ(Stored("Ports/COM7").toString(), "/dev/serial/by-id/usb-radio-if00");

  // The port's own default device needs no entry.
  Open();
  EXPECT_EQ(Shown("device"), "/dev/pts/31");
  Type(Combo("device")->lineEdit(), "/dev/ttyS4");
  Press("ok");
  EXPECT_FALSE(Stored("Ports/COM5").isValid());
}

// A device put behind a port for this run alone (the demonstration's radio) shows, but is
// not what the user chose: OK stores it neither as shown nor typed in again.
TEST_F(RecDlgTest, AMappingForThisRunIsShownButNeverStored) {
  MapPortForThisRun(90, "/dev/pts/90");
  Seed("Settings/Com", 90);
  Open();
  EXPECT_EQ(Shown("device"), "/dev/pts/90");
  Press("ok");
  EXPECT_FALSE(Stored("Ports/COM90").isValid());
  Open();
  Type(Combo("device")->lineEdit(), "/dev/pts/90");
  Press("ok");
  EXPECT_FALSE(Stored("Ports/COM90").isValid());
}

// A path typed for one port and left there when another port was chosen is not what the
// dialog showed at OK, so it must not quietly remap that port.
TEST_F(RecDlgTest, OnlyTheDeviceOfThePortChosenAtOkIsStored) {
  Seed("Settings/Com", 5);
  Open();
  Type(Combo("device")->lineEdit(), "/dev/pts/31");
  Choose("comPort", "COM7");
  EXPECT_EQ(Shown("device"), "/dev/ttyS6");
  Press("ok");
  EXPECT_EQ(Stored("Settings/Com").toInt(), 7);
  EXPECT_FALSE(Stored("Ports/COM5").isValid());
  EXPECT_FALSE(Stored("Ports/COM7").isValid());

  Open();
  Choose("comPort", "COM5");
  Type(Combo("device")->lineEdit(), "/dev/pts/31");
  Choose("comPort", "COM8");
  Type(Combo("device")->lineEdit(), "/dev/pts/32");
  Press("ok");
  EXPECT_EQ(Stored("Settings/Com").toInt(), 8);
  EXPECT_FALSE(Stored("Ports/COM5").isValid());
  EXPECT_EQ(Stored("Ports/COM8").toString(), "/dev/pts/32");
}

// Tab walks the controls in the order they stand on screen.
TEST_F(RecDlgTest, TabFollowsTheControlsTopToBottom) {
  Open();
  const QStringList onScreen = {"protocol",  "receiver",     "address", "comPort",
                                "device",    "speed",        "netHost", "scanInterval",
                                "utcFormat", "offsetColumn", "ok",      "cancel"};
  QStringList visited;
  QWidget* widget = Combo("protocol");
  for (int step = 0; step < 100 && visited.size() < onScreen.size(); ++step) {
    if (onScreen.contains(widget->objectName()) && !visited.contains(widget->objectName())) {
      visited << widget->objectName();
    }
    widget = widget->nextInFocusChain();
  }
  EXPECT_EQ(visited, onScreen);
}

// Opening a line raises DTR and RTS, which can key a transmitter or reset an adapter: the
// port lists only look.
TEST_F(RecDlgTest, LookingAtThePortsOpensNoDevice) {
  TtyTree tree;
  ASSERT_TRUE(tree.ready());
  folders_ = tree.folders();
  Seed("Ports/COM3", QString::fromStdString(tree.Add("ttyUSB0", true)));
  Seed("Ports/COM4", QString::fromStdString(tree.Add("ttyS0", true, 0)));
  Seed("Ports/COM5", QString::fromStdString(tree.Add("ttyS1", true, 4)));
  const QString acm = QString::fromStdString(tree.Add("ttyACM3", true));
  OpenedFiles opened(tree.dev());
  ASSERT_TRUE(opened.ready());
  Open();
  OpenAndLeave("comPort");
  EXPECT_EQ(Items("comPort").mid(2, 3),
            QStringList({"COM3  (detected)", "COM4", "COM5  (detected)"}));
  Choose("comPort", "COM4");
  Type(Combo("device")->lineEdit(), acm);
  OpenAndLeave("comPort");
  EXPECT_EQ(Items("comPort")[3], "COM4  (detected)");
  OpenAndLeave("device");
  QStringList lines;
  for (const char* name : {"ttyUSB0", "ttyACM3", "ttyS1"}) {
    lines << QString::fromStdString(tree.Node(name));
  }
  EXPECT_EQ(Items("device"), lines);
  EXPECT_EQ(opened.Names(), std::vector<std::string>());
}

TEST(SerialDevices, ListsStableNamesFirstAndOnlyRealLegacyPorts) {
  TtyTree tree;
  ASSERT_TRUE(tree.ready());
  const std::filesystem::path root = tree.dev();
  std::filesystem::create_directories(root / "serial/by-id");
  for (const char* name : {"serial/by-id/usb-b-if00", "serial/by-id/usb-a-if00", "ttyUSB10",
                           "ttyUSB2", "ttyACM0", "ttyUSB", "ttyACMx", "tty0", "null"}) {
    QFile((root / name).c_str()).open(QIODevice::WriteOnly);
  }
  // Every legacy slot has a node; only the one with a UART is a line.
  tree.Add("ttyS0", true, 0);
  tree.Add("ttyS3", true, 4);
  tree.Add("ttyS4", true);
  std::vector<std::string> expected;
  for (const char* name : {"serial/by-id/usb-a-if00", "serial/by-id/usb-b-if00", "ttyUSB2",
                           "ttyUSB10", "ttyACM0", "ttyS3"}) {
    expected.push_back((root / name).string());
  }
  OpenedFiles opened(tree.dev());
  ASSERT_TRUE(opened.ready());
  EXPECT_EQ(ListSerialDevices(tree.folders()), expected);
  EXPECT_EQ(opened.Names(), std::vector<std::string>());
}

}  // namespace
