#pragma once
// Figures of a transformation as a surveyor reads them, the same on every screen, report and
// printout that shows them: each to the decimals its meaning carries, not every digit the
// computation left. Files that carry parameters on keep every digit (general number form).
//
//   lengths and shifts (coordinates, Dx, Dy, Dh, σ0, …)  a tenth of a millimetre  4 decimals
//   residuals                                             the millimetre           3 decimals
//   rotation in grads                                                             7 decimals
//   scale, with its difference from 1 in ppm beside it                            9 decimals

#include "text/number_form.h"

#include <string>

namespace tavrelo {

inline constexpr int kLengthDecimals = 4;
inline constexpr int kResidualDecimals = 3;
inline constexpr int kRotationDecimals = 7;
inline constexpr int kScaleDecimals = 9;
// The scale's 9 decimals are thousandths of a part per million.
inline constexpr int kPpmDecimals = kScaleDecimals - 6;

inline std::string lengthForm(double metres, char decimalSeparator = '.')
{
    return fixedDecimalForm(metres, kLengthDecimals, decimalSeparator);
}

inline std::string residualForm(double metres, char decimalSeparator = '.')
{
    return fixedDecimalForm(metres, kResidualDecimals, decimalSeparator);
}

inline std::string rotationForm(double grads, char decimalSeparator = '.')
{
    return fixedDecimalForm(grads, kRotationDecimals, decimalSeparator);
}

// (k − 1) in parts per million, signed: "+12.345 ppm", "-0.800 ppm", "0.000 ppm".
inline std::string ppmForm(double scale, char decimalSeparator = '.')
{
    std::string ppm = fixedDecimalForm((scale - 1.0) * 1e6, kPpmDecimals, decimalSeparator);
    if (ppm.find_first_not_of(std::string("0") + decimalSeparator) != std::string::npos && ppm[0] != '-')
        ppm.insert(0, 1, '+');
    return ppm + " ppm";
}

// The scale and beside it its difference from 1: "1.000012345 (+12.345 ppm)".
inline std::string scaleForm(double scale, char decimalSeparator = '.')
{
    return fixedDecimalForm(scale, kScaleDecimals, decimalSeparator) + " (" + ppmForm(scale, decimalSeparator) + ")";
}

}  // namespace tavrelo
