#include "base/SkinScale.h"

SkinArtChoice ChooseSkinArt(const SkinScale& scale) {
    const int dpi = scale.Dpi();
    if (dpi <= SKIN_BASE_DPI) {
        return {SKIN_BASE_DPI, dpi != SKIN_BASE_DPI, 0};
    }
    const int steps = (dpi - SKIN_BASE_DPI + SKIN_ART_DPI_STEP - 1) / SKIN_ART_DPI_STEP;
    const int largestStep = (SKIN_ART_LARGEST_DPI - SKIN_BASE_DPI) / SKIN_ART_DPI_STEP;
    const int step = steps < largestStep ? steps : largestStep;
    const int artDpi = SKIN_BASE_DPI + step * SKIN_ART_DPI_STEP;
    return {artDpi, artDpi != dpi, SKIN_SCALED_RESOURCE_TYPE + step - 1};
}
