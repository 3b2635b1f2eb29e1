// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/app/rec_dlg_fixture.h"

namespace {

TEST_F(RecDlgTest, ProtocolEntriesCarryTheirKind) {
  Open();
  const std::pair<const char*, int> expected[] = {
      {"CI-V", 0}, {"CAT", 1}, {"Network", 3}, {"None", 2}};
  QComboBox* protocol = Combo("protocol");
  ASSERT_EQ(protocol->count(), std::size(expected));
  for (int row = 0; row < protocol->count(); ++row) {
    EXPECT_EQ(protocol->itemText(row), expected[row].first) << row;
    EXPECT_EQ(protocol->itemData(row).toInt(), expected[row].second) << row;
  }
}

TEST_F(RecDlgTest, NetworkUsesOnlyTheHostAndLeavingItRestoresTheControls) {
  const char* const controls[] = {"address", "comPort", "device", "speed"};
  struct Case {
    const char* protocol;
    bool enabled[std::size(controls)];
  };
  const Case cases[] = {{"CI-V", {true, true, true, true}},
                        {"CAT", {false, true, true, true}},
                        {"None", {false, false, false, false}}};
  Open();
  EXPECT_FALSE(Edit("netHost")->isEnabled());
  for (const Case& c : cases) {
    Choose("protocol", "Network");
    EXPECT_EQ(Items("receiver"), QStringList({"rigctl"}));
    EXPECT_TRUE(Edit("netHost")->isEnabled());
    for (const char* name : controls) EXPECT_FALSE(Combo(name)->isEnabled()) << name;

    Choose("protocol", c.protocol);
    EXPECT_FALSE(Edit("netHost")->isEnabled()) << c.protocol;
    for (size_t i = 0; i < std::size(controls); ++i) {
      EXPECT_EQ(Combo(controls[i])->isEnabled(), c.enabled[i]) << c.protocol << " " << controls[i];
    }
  }
}

TEST_F(RecDlgTest, OkUnderNetworkStoresTheModelAndTheTrimmedHost) {
  const std::pair<const char*, const char*> cases[] = {
      {"localhost", "localhost"},
      {"10.0.0.2:4533", "10.0.0.2:4533"},
      {"[::1]:4532", "[::1]:4532"},
      {"radio.example", "radio.example"},
      {"  radio.example:4000 ", "radio.example:4000"}};
  for (const auto& [typed, stored] : cases) {
    Seed("Settings/Rx", 40);
    Open();
    ShownBoxes shown;
    Choose("protocol", "Network");
    Type(Edit("netHost"), typed);
    Press("ok");
    EXPECT_TRUE(shown.boxes.empty()) << typed;
    EXPECT_EQ(dlg_->result(), QDialog::Accepted) << typed;
    EXPECT_EQ(Stored("Settings/Rx").toInt(), 100) << typed;
    EXPECT_EQ(Stored("Settings/NetHost").toString(), stored);
    EXPECT_EQ(dlg_->settings().link.netHost, stored);
  }
  // Opened again, the dialog shows the network radio and its host.
  Open();
  EXPECT_EQ(Shown("protocol"), "Network");
  EXPECT_EQ(Shown("receiver"), "rigctl");
  EXPECT_EQ(Edit("netHost")->text(), "radio.example:4000");

  // A CAT radio's speed, which the network radio has no use for, waits for its return.
  Seed("Settings/Rx", 60);
  Seed("Settings/Baud", 38400);
  Open();
  Choose("protocol", "Network");
  Press("ok");
  EXPECT_EQ(Stored("Settings/Baud").toInt(), 38400);
  Open();
  EXPECT_EQ(Shown("protocol"), "Network");
  EXPECT_EQ(Shown("receiver"), "rigctl");
  EXPECT_EQ(Edit("netHost")->text(), "radio.example:4000");
}

// A demonstration run's network radio listens on a port of that run only: the dialog shows
// it, and OK keeps it running but out of the store unless another host is typed.
TEST_F(RecDlgTest, HostOfThisRunAloneIsNotStored) {
  Seed("Settings/Rx", 100);
  Seed("Settings/NetHost", "radio.example:4000");
  StoredSettings running = LoadSettings();
  running.link.netHost = "127.0.0.1:40123";
  dlg_ = std::make_unique<CRecDlg>(running, 1);
  dlg_->show();
  EXPECT_EQ(Edit("netHost")->text(), "127.0.0.1:40123");
  Press("ok");
  EXPECT_EQ(dlg_->settings().link.netHost, "127.0.0.1:40123");
  EXPECT_EQ(Stored("Settings/NetHost").toString(), "radio.example:4000");
  EXPECT_EQ(Stored("Settings/Rx").toInt(), 100);

  dlg_ = std::make_unique<CRecDlg>(running, 1);
  dlg_->show();
  Type(Edit("netHost"), "10.0.0.2:4533");
  Press("ok");
  EXPECT_EQ(dlg_->settings().link.netHost, "10.0.0.2:4533");
  EXPECT_EQ(Stored("Settings/NetHost").toString(), "10.0.0.2:4533");
}

TEST_F(RecDlgTest, BadHostIsReportedAndKeepsTheDialogOpen) {
  for (const char* typed : {"", "host:0", "host:70000", "[::1", "a b", "host:12x"}) {
    Open();
    ShownBoxes shown(dlg_.get());
    Choose("protocol", "Network");
    Type(Edit("netHost"), typed);
    Press("ok");
    ASSERT_EQ(shown.boxes.size(), 1u) << typed;
    EXPECT_EQ(shown.boxes[0].icon, QMessageBox::Warning);
    EXPECT_TRUE(shown.boxes[0].text.startsWith("Host:")) << shown.boxes[0].text.toStdString();
    EXPECT_TRUE(shown.boxes[0].text.contains("localhost:4532"));
    EXPECT_TRUE(shown.boxes[0].windowOpen);
    EXPECT_TRUE(dlg_->isVisible()) << typed;
    EXPECT_EQ(dlg_->focusWidget(), Edit("netHost")) << typed;
    EXPECT_FALSE(Stored("Settings/Rx").isValid()) << typed;
    EXPECT_FALSE(Stored("Settings/NetHost").isValid()) << typed;
  }
  // Put right, the same dialog is accepted.
  ShownBoxes shown;
  Type(Edit("netHost"), "[::1]");
  Press("ok");
  EXPECT_TRUE(shown.boxes.empty());
  EXPECT_EQ(dlg_->result(), QDialog::Accepted);
  EXPECT_EQ(Stored("Settings/NetHost").toString(), "[::1]");
}

TEST_F(RecDlgTest, HostLeftUnderAnotherProtocolIsNeitherCheckedNorStored) {
  for (const char* protocol : {"CI-V", "CAT", "None"}) {
    Seed("Settings/NetHost", "radio.example:4000");
    Open();
    EXPECT_EQ(Edit("netHost")->text(), "radio.example:4000");
    ShownBoxes shown;
    Choose("protocol", "Network");
    Type(Edit("netHost"), "a b");
    Choose("protocol", protocol);
    Press("ok");
    EXPECT_TRUE(shown.boxes.empty()) << protocol;
    EXPECT_EQ(dlg_->result(), QDialog::Accepted) << protocol;
    EXPECT_EQ(Stored("Settings/NetHost").toString(), "radio.example:4000") << protocol;
  }
}

// Stores written before the network radio existed load as they did, with the default host.
TEST_F(RecDlgTest, StoreWithoutHostLoadsAsBefore) {
  StoredSettings loaded = LoadSettings();
  EXPECT_EQ(loaded.link.modelIndex, 0);
  EXPECT_EQ(loaded.link.address, 0x5A);
  EXPECT_EQ(loaded.link.comPort, 1);
  EXPECT_EQ(loaded.link.baudRate, 9600);
  EXPECT_EQ(loaded.scanSeconds, 2);
  EXPECT_EQ(loaded.utcFormat, 0);
  EXPECT_EQ(loaded.link.netHost, "localhost:4532");

  const std::pair<const char*, int> stored[] = {{"Rx", 62},      {"Address", 0x88}, {"Com", 3},
                                                {"Baud", 38400}, {"Scan", 7},       {"utc", 2}};
  for (const auto& [key, value] : stored) Seed(QString("Settings/") + key, value);
  loaded = LoadSettings();
  EXPECT_EQ(ModelAt(loaded.link.modelIndex).id, ModelId{62});
  EXPECT_EQ(loaded.link.address, 0x88);
  EXPECT_EQ(loaded.link.comPort, 3);
  EXPECT_EQ(loaded.link.baudRate, 38400);
  EXPECT_EQ(loaded.scanSeconds, 7);
  EXPECT_EQ(loaded.utcFormat, 2);
  EXPECT_EQ(loaded.link.netHost, "localhost:4532");
}

}  // namespace
