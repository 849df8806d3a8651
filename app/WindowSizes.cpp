#include "WindowSizes.h"

#include <cstdint>

namespace {

constexpr int kWidth = 325;
constexpr int kCompactHeight = 345;
constexpr int kSurveyHeight = 460;

}  // namespace

int ScaleForDpi(int designPixels, int dpi) {
    const std::int64_t product = std::int64_t{designPixels} * dpi;
    const std::int64_t half = kDesignDpi / 2;
    return static_cast<int>((product >= 0 ? product + half : product - half) / kDesignDpi);
}

OuterSizes OuterSizesForDpi(int dpi) {
    return {ScaleForDpi(kWidth, dpi), ScaleForDpi(kCompactHeight, dpi), ScaleForDpi(kSurveyHeight, dpi)};
}
