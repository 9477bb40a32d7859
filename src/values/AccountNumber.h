#pragma once

#include <QVariantList>
#include <cmath>

// Account numbers are stored as doubles ("#####.##"). A stored number is
// found within a thousandth of the one asked for, whatever its binary
// representation: bind around() to "acctnumber between ? and ?".
namespace AccountNumber {

constexpr double Tolerance = 0.001;

inline QVariantList around(double number) {
    return {number - Tolerance, number + Tolerance};
}
inline bool same(double a, double b) {
    return std::abs(a - b) <= Tolerance;
}

} // namespace AccountNumber
