// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QUrl>
#include <functional>

class QWidget;

constexpr const char* kReadmeFile = "Quilvar_readme.txt";
constexpr const char* kLeggimiFile = "Quilvar_leggimi.txt";

// Hands a file to the desktop's default program for it; false when the desktop has none.
using GuideOpener = std::function<bool(const QUrl& file)>;
// Puts another opener in place of the desktop's (tests need no desktop); an empty function
// restores the desktop's. Returns the previous one.
GuideOpener SetGuideOpener(GuideOpener opener);

// Opens one of the program's text guides with the desktop's default program. It is looked
// up in the current folder first, then in the installed documentation folder, then beside
// the executable, so the menu works however the program was started. When the desktop
// cannot open it, the guide is shown in a text window of the program's own over parent. A
// guide that is nowhere is not reported.
void OpenGuide(const QString& fileName, QWidget* parent = nullptr);

// The modal About box; the keyboard focus goes back to the widget that had it.
void ShowAboutBox(QWidget* parent);
