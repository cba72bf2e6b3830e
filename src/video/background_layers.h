// Drawing of one background layer's line into a layer buffer, used by the tile-mode renderer.
// Colour index 0 gives 0 (transparent) because HostPalette entry 0 is held at 0 while layers
// are drawn. EFFECT is the layer's draw-time effect: effectBrighten and effectDarken change
// every non-transparent pixel, anything else draws the colours unchanged.
#pragma once

#include "common/types.h"
#include "video/color_effects.h"

// Text (scrolling) layer BG0..BG3; writes at least pixels 0..239 of OUT (a 256-pixel buffer).
void drawTextLayer(u32 bg, u16* out, EffectMode effect);

// Affine layer BG2 or BG3; writes pixels 0..239 of OUT, then advances the layer's internal
// reference point by PB and PD for the next line.
void drawAffineLayer(u32 bg, u16* out, EffectMode effect);

// Applies EFFECT to one colour; transparent pixels stay 0.
template <EffectMode effect>
inline u16 drawTimeEffect(u16 colour) {
    if constexpr (effect == effectBrighten) {
        return colour ? brightenPixel(colour) : 0;
    } else if constexpr (effect == effectDarken) {
        return colour ? darkenPixel(colour) : 0;
    } else {
        return colour;
    }
}
