// The stretch of an affine walk that stays inside its texture: for a coordinate that starts
// at START and moves by STEP per column (8.8 fixed point), the columns i of 0..COUNT - 1 where
// 0 <= START + i * STEP < LIMIT. Being linear, they form one run, so the sprite loop can fill
// the rest as transparent and read texels without a bounds test per pixel.
// The arithmetic is 32-bit: START stays within +-2^27 (a sprite's sum of four 16-bit products
// with its size, or a 28-bit reference point), LIMIT within 2^16 and STEP within 16 bits, so
// no difference overflows, and the divisions cost less than 64-bit ones.
#pragma once

#include <algorithm>

#include "common/types.h"

struct ColumnRun {
    u32 first;
    u32 end; // first == end: no column
};

namespace affine_span_detail {
// Floor and ceiling of A / B for B > 0.
constexpr s32 floorDiv(s32 a, s32 b) {
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}
constexpr s32 ceilDiv(s32 a, s32 b) {
    return -floorDiv(-a, b);
}
} // namespace affine_span_detail

constexpr ColumnRun insideColumns(s32 start, s32 step, s32 limit, u32 count) {
    using affine_span_detail::ceilDiv;
    using affine_span_detail::floorDiv;
    s32 first = 0, end = static_cast<s32>(count);
    if (step == 0) {
        if (start < 0 || start >= limit) {
            end = 0;
        }
    } else if (step > 0) {
        // start + i * step >= 0 and start + i * step < limit
        first = std::max(first, ceilDiv(-start, step));
        end = std::min(end, ceilDiv(limit - start, step));
    } else {
        // start - i * |step| < limit and start - i * |step| >= 0
        const s32 down = -step;
        first = std::max(first, floorDiv(start - limit, down) + 1);
        end = std::min(end, floorDiv(start, down) + 1);
    }
    if (end <= first) {
        return {0, 0};
    }
    return {static_cast<u32>(first), static_cast<u32>(end)};
}

// Both coordinates inside at once.
constexpr ColumnRun insideBoth(ColumnRun a, ColumnRun b) {
    const u32 first = std::max(a.first, b.first), end = std::min(a.end, b.end);
    return end > first ? ColumnRun{first, end} : ColumnRun{0, 0};
}
