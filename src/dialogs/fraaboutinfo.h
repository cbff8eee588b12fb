#pragma once

#include <QString>

// The program's version record, kept here and nowhere else in the sources
// (the build's project version repeats it as 1.4.11.32).
struct VersionRecord {
    int major;
    int minor;
    int third; // shown on the version line as the fixed ".11", not from here
    int revision;
};

inline constexpr VersionRecord kProgramVersion{1, 4, 11, 32}; // 1.04.11.0032

// Addresses of the program's maker.
namespace MakerLinks {
inline const QString homePage()
{
    return QStringLiteral("https://zelmohtml.example.com/");
}
inline const QString newestVersionPage()
{
    return QStringLiteral("https://zelmohtml.example.com/download/newest.htm");
}
inline const QString contactMail()
{
    return QStringLiteral("zelmohtml@example.com");
}
} // namespace MakerLinks

// "ZelmoHTML编辑器 1.4.11.32": product name, major, minor, the fixed ".11"
// and the revision.
QString VersionLine(const VersionRecord &version = kProgramVersion);

// The signed-in user's login name.
QString LoginName();

// A name as the system hands it over in a buffer: up to its first NUL.
QString NameUpToNul(const QString &buffer);
