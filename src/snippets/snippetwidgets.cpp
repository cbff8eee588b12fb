#include "snippets/snippetwidgets.h"

#include "controls/mousehooks.h"
#include "platform/wincolor.h"
#include "shell/toolstrip.h"
#include "snippets/snippetfragments.h"
#include "snippets/snippetlists.h"
#include "snippets/tagfragments.h"
#include "snippets/tagtoolbar.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <functional>
#include <span>

namespace {

enum Bar { FunctionBar, ShortcutBar, SpecialBar };

// How a button's caption is drawn: in the window's font, or as one of the
// coloured tag buttons, some of them in a font showing the tag's effect.
enum class Face { Window, Tag, TagBold, TagItalic, TagUnderline, TagStrike };

struct ButtonLook {
    const char16_t *caption;
    Bar bar;
    int left; // twips; every control's top is 0
    int width;
    int height;
    Face face = Face::Window;
    const char16_t *accessibleName = nullptr; // when it is not the caption
};

constexpr ButtonLook kSelbuttons[] = {
    {u"A", ShortcutBar, 1080, 375, 300, Face::Tag},
    {u"F", ShortcutBar, 1440, 375, 300, Face::Tag},
    {u"B", ShortcutBar, 1800, 375, 300, Face::TagBold},
    {u"I", ShortcutBar, 2160, 375, 300, Face::TagItalic},
    {u"U", ShortcutBar, 2520, 375, 300, Face::TagUnderline},
    {u"S", ShortcutBar, 2880, 375, 300, Face::TagStrike},
    {u"s", ShortcutBar, 3240, 375, 300, Face::Tag},
    {u"G", ShortcutBar, 3600, 375, 300, Face::Tag},
    {u"X", ShortcutBar, 3960, 375, 300, Face::Tag},
    {u"C", ShortcutBar, 4320, 375, 300, Face::Tag},
    {u"删除", FunctionBar, 5880, 735, 320},
};

constexpr ButtonLook kNoselbuttons[] = {
    {u"Br", ShortcutBar, 5040, 495, 300},
    {u"P", ShortcutBar, 5520, 375, 300},
    {u"Hr", ShortcutBar, 5880, 375, 300},
    {u"Img", ShortcutBar, 6240, 495, 300},
    {u"Table", ShortcutBar, 6720, 615, 300},
    {u"Marquee", ShortcutBar, 7320, 855, 300},
    {u"", SpecialBar, 8040, 135, 300, Face::Window, u"插入空格"},
    {u"R", ShortcutBar, 4680, 375, 300},
    {u"时间", FunctionBar, 4440, 735, 320},
};

constexpr ButtonLook kNoselects[] = {
    {u"大写", FunctionBar, 2280, 735, 320},
    {u"小写", FunctionBar, 3000, 735, 320},
    {u"设置", SpecialBar, 8160, 735, 300},
};

constexpr ButtonLook kInsertButtons[] = {
    {u"OK--->", ShortcutBar, 8160, 735, 300},
    {u"Enter-->", SpecialBar, 1080, 975, 300},
    {u"Enter-->", SpecialBar, 3360, 975, 300},
    {u"Enter-->", SpecialBar, 5640, 975, 300},
};

struct FieldLook {
    Bar bar;
    int left;
    int width;
};

constexpr int kFieldHeight = 300;
constexpr FieldLook kCombos[] = {
    {ShortcutBar, 8880, 1455},
    {SpecialBar, 2040, 1335},
    {SpecialBar, 4320, 1335},
};
constexpr FieldLook kText1 = {SpecialBar, 6600, 615};

// Background of the tag buttons and of the fields marked grey, as Windows
// colour values 0x00BBGGRR.
constexpr quint32 kTagButtonColor = 0x00C0C000;
constexpr quint32 kFieldColor = 0x00C0C0C0;

void setBackground(QWidget *widget, QPalette::ColorRole role, quint32 color)
{
    QPalette palette = widget->palette();
    palette.setColor(role, WinColor::toColor(color));
    widget->setPalette(palette);
}

void applyFace(QPushButton *button, Face face)
{
    if (face == Face::Window)
        return;
    setBackground(button, QPalette::Button, kTagButtonColor);
    button->setAutoFillBackground(true);
    if (face == Face::Tag)
        return;
    QFont font = button->font();
    font.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun")});
    font.setPointSizeF(9);
    font.setBold(face == Face::TagBold);
    font.setItalic(face == Face::TagItalic);
    font.setUnderline(face == Face::TagUnderline);
    font.setStrikeOut(face == Face::TagStrike);
    button->setFont(font);
}

QPushButton *makeButton(const std::array<QWidget *, 3> &bars, const ButtonLook &look,
                        const QString &name, const char16_t *hint, std::function<void()> click,
                        std::function<void()> move)
{
    QPushButton *button = addStripButton(bars[look.bar], name, QString::fromUtf16(look.caption),
                                         look.left, look.width, look.height);
    if (look.accessibleName)
        button->setAccessibleName(QString::fromUtf16(look.accessibleName));
    button->setAccessibleDescription(QString::fromUtf16(hint));
    applyFace(button, look.face);
    QObject::connect(button, &QPushButton::clicked, button, std::move(click));
    MouseHooks::onMouseMove(button, std::move(move));
    return button;
}

// One control array: buttons named "<array>(<index>)", each click and mouse
// move passed on with its index.
template <std::size_t N>
void makeArray(std::array<QPushButton *, N> &buttons, const std::array<QWidget *, 3> &bars,
               std::span<const ButtonLook> looks, std::span<const char16_t *const> hints,
               const char *array, TagToolbar &tags, void (TagToolbar::*click)(int),
               void (TagToolbar::*move)(int))
{
    for (int i = 0; i < int(N); ++i) {
        buttons[size_t(i)] = makeButton(
            bars, looks[size_t(i)], QStringLiteral("%1(%2)").arg(QLatin1String(array)).arg(i),
            hints[size_t(i)], [&tags, click, i] { (tags.*click)(i); },
            [&tags, move, i] { (tags.*move)(i); });
    }
}

QComboBox *makeCombo(const std::array<QWidget *, 3> &bars, int number,
                     const SnippetFragments::List &list)
{
    const FieldLook &look = kCombos[number - 1];
    auto *combo = new QComboBox(bars[look.bar]);
    combo->setObjectName(QStringLiteral("Combo%1").arg(number));
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    // Typed text stays as typed: completing it inline, or matching it to an
    // item without regard to case, would insert a fragment the user did not
    // name exactly.
    combo->setCompleter(nullptr);
    for (const SnippetFragments::Item &item : list.items)
        combo->addItem(QString::fromUtf16(item.name));
    // The cover stands in the edit field without being an item.
    combo->setCurrentIndex(-1);
    combo->setEditText(QString::fromUtf16(list.cover));
    combo->setAccessibleName(QString::fromUtf16(list.cover));
    placeOnStrip(combo, look.left, look.width, kFieldHeight);
    return combo;
}

} // namespace

SnippetWidgets createSnippetWidgets(QWidget *functionBar, QWidget *shortcutBar, QWidget *specialBar,
                                    TagToolbar &tags, SnippetLists &lists)
{
    const std::array<QWidget *, 3> bars{functionBar, shortcutBar, specialBar};
    SnippetWidgets widgets;

    makeArray(widgets.selbutton, bars, kSelbuttons, TagFragments::selbuttonHints(), "selbutton",
              tags, &TagToolbar::selbutton_Click, &TagToolbar::selbutton_MouseMove);
    makeArray(widgets.noselbutton, bars, kNoselbuttons, TagFragments::noselbuttonHints(),
              "noselbutton", tags, &TagToolbar::noselbutton_Click,
              &TagToolbar::noselbutton_MouseMove);
    makeArray(widgets.noselect, bars, kNoselects, TagFragments::noselectHints(), "noselect", tags,
              &TagToolbar::noselect_Click, &TagToolbar::noselect_MouseMove);

    // The list buttons and their lists.
    using Handler = void (SnippetLists::*)();
    const struct {
        QPushButton **button;
        Handler click;
        Handler move;
    } inserts[] = {
        {&widgets.insert1, &SnippetLists::insert1_Click, &SnippetLists::insert1_MouseMove},
        {&widgets.insert2, &SnippetLists::insert2_Click, &SnippetLists::insert2_MouseMove},
        {&widgets.insert3, &SnippetLists::insert3_Click, &SnippetLists::insert3_MouseMove},
        {&widgets.insert4, &SnippetLists::insert4_Click, &SnippetLists::insert4_MouseMove},
    };
    const auto listData = SnippetFragments::lists();
    for (int i = 0; i < 4; ++i) {
        const Handler click = inserts[i].click;
        const Handler move = inserts[i].move;
        *inserts[i].button = makeButton(
            bars, kInsertButtons[i], QStringLiteral("insert%1").arg(i + 1),
            i < SnippetFragments::kListCount ? listData[i].hint : SnippetFragments::kSymbolHint,
            [&lists, click] { (lists.*click)(); }, [&lists, move] { (lists.*move)(); });
    }
    QComboBox **const combos[] = {&widgets.Combo1, &widgets.Combo2, &widgets.Combo3};
    for (int i = 0; i < SnippetFragments::kListCount; ++i) {
        QComboBox *combo = makeCombo(bars, i + 1, listData[i]);
        lists.setComboText(i + 1, [combo = QPointer<QComboBox>(combo)] {
            return combo ? combo->currentText() : QString();
        });
        *combos[i] = combo;
    }
    QFont coverFont = widgets.Combo1->font();
    coverFont.setBold(true);
    coverFont.setPointSizeF(9);
    widgets.Combo1->setFont(coverFont);
    setBackground(widgets.Combo1, QPalette::Base, kFieldColor);
    setBackground(widgets.Combo1, QPalette::Button, kFieldColor);

    auto *text1 =
        new QLineEdit(QString::fromUtf16(SnippetFragments::kSymbolDefault), bars[kText1.bar]);
    text1->setObjectName(QStringLiteral("Text1"));
    text1->setAccessibleName(QString::fromUtf16(SnippetFragments::kSymbolHint));
    setBackground(text1, QPalette::Base, kFieldColor);
    placeOnStrip(text1, kText1.left, kText1.width, kFieldHeight);
    lists.setText1(
        [text1 = QPointer<QLineEdit>(text1)] { return text1 ? text1->text() : QString(); });
    widgets.Text1 = text1;
    return widgets;
}
