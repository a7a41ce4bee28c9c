// How Ostrel's dialogs and message boxes look: the frame of a fixed-size dialog and the
// fonts of the interface's language.
#pragma once

#include <QFont>
#include <QString>
#include <Qt>

class QWidget;

namespace platform {

// A title, the system menu and a close button; no minimise or maximise button (window
// managers honour these only with CustomizeWindowHint).
Qt::WindowFlags FixedDialogFlags();
// Gives a dialog those flags; call before it is shown.
void UseFixedDialogFrame(QWidget* dialog);

// The installed sans CJK face for a locale: Japanese glyphs for "ja", Traditional Chinese
// ones for "zh_TW" and "zh_HK", Simplified Chinese ones otherwise; empty when none is.
QString CjkFace(const QString& locale);

// The desktop's interface font (a sans face) for Latin text, with the locale's CJK face
// behind it for the characters it lacks.
QFont InterfaceFont(const QString& locale);

}  // namespace platform
