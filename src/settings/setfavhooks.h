#pragma once

#include <QString>
#include <functional>

class Launcher;
class QWidget;

// What the settings dialog needs from the rest of the program. Every hook
// may be left empty; the dialog then falls back as noted.
struct SetFavHooks {
    // The editing area's current font family (else the stored font name).
    std::function<QString()> editorFontName;
    // The editing area's background colour, 0x00BBGGRR (else the stored one).
    std::function<quint32()> editorBackColor;
    // The editing area's text colour at the caret (else black).
    std::function<quint32()> editorTextColor;
    // Starts or stops the autosave timer.
    std::function<void(bool)> setAutosaveEnabled;
    // Runs the scheme whose menu item carries the check mark again, which
    // applies the stored font, size and colour and re-packs the toolbars.
    // May throw std::exception when the editing area refuses a value.
    std::function<void()> runActiveScheme;
    // Opens web pages and folders (the desktop's launcher when null).
    Launcher *launcher = nullptr;
    // The folder chooser (else ChooseFolder centred over owner).
    std::function<QString(QWidget *owner, QString &startFolder)> chooseFolder;
};
