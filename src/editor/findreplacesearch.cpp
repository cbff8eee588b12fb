#include "editor/findreplacesearch.h"

#include <QtAlgorithms>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

constexpr int kMaxFirstUnits = 4;

// Index of the first unit in [from, end) that is one of the Count units,
// end if there is none.
template <int Count>
qsizetype scanFor(const char16_t *text, qsizetype from, qsizetype end, const char16_t *units)
{
    qsizetype i = from;
#ifdef __SSE2__
    __m128i wanted[Count];
    for (int k = 0; k < Count; ++k)
        wanted[k] = _mm_set1_epi16(short(units[k]));
    for (; i + 8 <= end; i += 8) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i *>(text + i));
        __m128i equal = _mm_cmpeq_epi16(chunk, wanted[0]);
        for (int k = 1; k < Count; ++k)
            equal = _mm_or_si128(equal, _mm_cmpeq_epi16(chunk, wanted[k]));
        if (const int mask = _mm_movemask_epi8(equal))
            return i + qCountTrailingZeroBits(uint(mask)) / 2;
    }
#endif
    for (; i < end; ++i) {
        for (int k = 0; k < Count; ++k) {
            if (text[i] == units[k])
                return i;
        }
    }
    return end;
}

qsizetype scanFor(const char16_t *text, qsizetype from, qsizetype end, const char16_t *units,
                  qsizetype count)
{
    switch (count) {
    case 1:
        return scanFor<1>(text, from, end, units);
    case 2:
        return scanFor<2>(text, from, end, units);
    case 3:
        return scanFor<3>(text, from, end, units);
    default:
        return scanFor<kMaxFirstUnits>(text, from, end, units);
    }
}

} // namespace

TextMatcher::TextMatcher(QString needle, Qt::CaseSensitivity cs)
    : m_needle(std::move(needle))
    , m_cs(cs)
{
    if (m_needle.isEmpty())
        return;
    const char16_t first = m_needle.front().unicode();
    if (cs == Qt::CaseSensitive) {
        m_firstUnits.append(first);
        return;
    }
    // A surrogate folds only together with its partner: Qt's search
    // handles that rare case.
    if (QChar::isSurrogate(first))
        return;
    // Every code unit of the Basic Multilingual Plane with the same case
    // folding, for example k, K and the Kelvin sign.
    const char32_t folded = QChar::toCaseFolded(char32_t(first));
    for (char32_t unit = 0; unit <= 0xFFFF; ++unit) {
        if (QChar::isSurrogate(unit) || QChar::toCaseFolded(unit) != folded)
            continue;
        if (m_firstUnits.size() == kMaxFirstUnits) {
            m_firstUnits.clear();
            return;
        }
        m_firstUnits.append(char16_t(unit));
    }
}

bool TextMatcher::matchesAt(const char16_t *at) const
{
    const QStringView candidate(at, m_needle.size());
    if (m_cs == Qt::CaseSensitive)
        return candidate == QStringView(m_needle);
    return candidate.compare(m_needle, Qt::CaseInsensitive) == 0;
}

qsizetype TextMatcher::indexIn(QStringView haystack, qsizetype from) const
{
    from = qMax(from, qsizetype(0));
    const qsizetype length = m_needle.size();
    if (length == 0)
        return from <= haystack.size() ? from : -1;
    if (from > haystack.size() - length)
        return -1;
    if (m_firstUnits.isEmpty())
        return haystack.indexOf(m_needle, from, m_cs);

    const char16_t *text = haystack.utf16();
    const qsizetype end = haystack.size() - length + 1; // one past the last start
    for (qsizetype at = from; at < end; ++at) {
        at = scanFor(text, at, end, m_firstUnits.constData(), m_firstUnits.size());
        if (at == end)
            break;
        if (matchesAt(text + at))
            return at;
    }
    return -1;
}
