#pragma once

#include <QtGlobal>

// Whether a page fits in memory before it is read: a page opened takes many
// times its size on disk (its text, the editing area's blocks and layout,
// the undo history).
namespace PageMemory {

// Pages larger than this are opened only when the user says so.
inline constexpr qint64 kAskAbove = qint64(100) << 20;

// What a page of fileBytes bytes takes once open, by estimate.
qint64 neededFor(qint64 fileBytes);

// What the program can still take: the system's available memory, within
// the process's own limits on address space and data. -1 when unknown.
qint64 available();

} // namespace PageMemory
