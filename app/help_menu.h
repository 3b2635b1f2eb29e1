#pragma once

#include <QString>

class QWidget;

constexpr const char* kReadmeFile = "Quilvar_readme.txt";
constexpr const char* kLeggimiFile = "Quilvar_leggimi.txt";

// Opens one of the program's text guides with the desktop's default program. It is looked
// up in the current folder first, then in the installed documentation folder, then beside
// the executable, so the menu works however the program was started. A failure is not
// reported.
void OpenGuide(const QString& fileName);

// The modal About box; the keyboard focus goes back to the widget that had it.
void ShowAboutBox(QWidget* parent);
