#include "engine/scene/SceneMath.h"

#include <cmath>

namespace pravik::scene {

double determinant(const core::CMatrix4<float>& matrix)
{
    // Rows r, columns c: element (r, c) is M[4c + r].
    auto e = [&matrix](int r, int c) { return double(matrix.M[4 * c + r]); };
    const double s0 = e(0, 0) * e(1, 1) - e(1, 0) * e(0, 1);
    const double s1 = e(0, 0) * e(1, 2) - e(1, 0) * e(0, 2);
    const double s2 = e(0, 0) * e(1, 3) - e(1, 0) * e(0, 3);
    const double s3 = e(0, 1) * e(1, 2) - e(1, 1) * e(0, 2);
    const double s4 = e(0, 1) * e(1, 3) - e(1, 1) * e(0, 3);
    const double s5 = e(0, 2) * e(1, 3) - e(1, 2) * e(0, 3);
    const double c5 = e(2, 2) * e(3, 3) - e(3, 2) * e(2, 3);
    const double c4 = e(2, 1) * e(3, 3) - e(3, 1) * e(2, 3);
    const double c3 = e(2, 1) * e(3, 2) - e(3, 1) * e(2, 2);
    const double c2 = e(2, 0) * e(3, 3) - e(3, 0) * e(2, 3);
    const double c1 = e(2, 0) * e(3, 2) - e(3, 0) * e(2, 2);
    const double c0 = e(2, 0) * e(3, 1) - e(3, 0) * e(2, 1);
    return s0 * c5 - s1 * c4 + s2 * c3 + s3 * c2 - s4 * c1 + s5 * c0;
}

bool inverseOf(const core::CMatrix4<float>& m, core::CMatrix4<float>& out)
{
    if (m.getDefinitelyIdentityMatrix()) {
        out = m;
        return true;
    }
    if (std::fabs(determinant(m)) <= 1e-6) return false;
    return m.getInverse(out);
}

}  // namespace pravik::scene
