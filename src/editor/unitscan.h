#pragma once

#include <QtAlgorithms>
#include <QtGlobal>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

// Finding the next of a few UTF-16 units in text, eight at a time where the
// processor allows: the inner loop of searches and of the markup scanner.
namespace UnitScan {

// Index of the first unit in [from, end) that is one of the Count units,
// end if there is none.
template <int Count>
qsizetype findAny(const char16_t *text, qsizetype from, qsizetype end, const char16_t *units)
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

} // namespace UnitScan
