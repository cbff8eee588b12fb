#pragma once

#include <QString>
#include <span>

// The two toolbar chains: the order in which the buttons of the first and
// second toolbar are packed from the left, their widths, and the settings
// flag that shows or hides each place in the custom scheme. Shared by the
// layout, the schemes and the settings dialog's button lists.
struct ChainPlace {
    const char *control; // object name of the control, e.g. "func(0)", "Combo1"
    int widthTwips;
    int flag;              // n of the key "Button<n>" in the chain's section
    const char *listEntry; // the entry that stands for the place in the settings dialog
};

namespace ToolbarChains {

// Section names of the two chains' flags.
inline constexpr const char *kFirstSection = "bar1button";
inline constexpr const char *kSecondSection = "bar2button";

// Left edge of the first control of either chain, in twips.
inline constexpr int kChainStartTwips = 120;

std::span<const ChainPlace> first();
std::span<const ChainPlace> second();

// Number of flags of each chain (11 and 19).
inline constexpr int kFirstFlagCount = 11;
inline constexpr int kSecondFlagCount = 19;

// "Button<n>".
QString flagKey(int flag);

// Whether the stored flag shows its place; a flag that is missing or neither
// a Boolean word nor a number counts as shown.
bool flagShown(const char *section, int flag);

} // namespace ToolbarChains
