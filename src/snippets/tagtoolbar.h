#pragma once

#include <QString>
#include <functional>
#include <span>

class QDateTime;
class Clock;
class Prompts;
class RichText;
class StatusLine;

// The tag buttons: selbutton wraps the selection in a tag pair (or inserts a
// sample), noselbutton inserts a fixed fragment, noselect converts case or
// opens the settings dialog. The keyboard commands call the same operations
// by index. Acts on the editing area, status line, prompts and clock it is
// given and owns none of them.
class TagToolbar {
public:
    TagToolbar(RichText &richText, StatusLine &status, Prompts &prompts, const Clock &clock);

    void selbutton_Click(int index);
    void noselbutton_Click(int index);
    void noselect_Click(int index);

    // Hints on the status line.
    void selbutton_MouseMove(int index);
    void noselbutton_MouseMove(int index);
    void noselect_MouseMove(int index);

    // What noselect(2) "设置" runs: the settings dialog, once there is one.
    void setOpenSettings(std::function<void()> open) { m_openSettings = std::move(open); }

    // What puts the selection, or the whole page when nothing is selected,
    // in upper (true) or lower case as one undoable edit, keeping the lines'
    // breaks. Without it a selection is replaced by its converted text and
    // the whole page is not converted.
    void setConvert(std::function<void(bool upper)> convert) { m_convert = std::move(convert); }

    // The time button's text: "YY年MM月DD日  HH:MM:SS".
    static QString timeStamp(const QDateTime &time);

private:
    void insertImage();
    void showHint(std::span<const char16_t *const> hints, int index);
    // The selection, or after confirmation the whole page, in upper or lower case.
    void convertCase(bool upper);

    RichText &m_richText;
    StatusLine &m_status;
    Prompts &m_prompts;
    const Clock &m_clock;
    std::function<void()> m_openSettings;
    std::function<void(bool upper)> m_convert;
};
