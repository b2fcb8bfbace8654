// Dense matrices and the Helmert estimator. Inverses were worked out by hand; the
// estimator's targets come from csib_HelmertForward, itself checked against a PROJ
// pipeline in datum_models_test.cpp.
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "csib/csibplatform.h"
#include "csib/datum.h"
#include "csib/geodesy.h"
#include "csib/matrix.h"

namespace {

constexpr double kDeg = 3.141592653589793 / 180.0;
constexpr double kArcSecond = kDeg / 3600.0;

struct Matrix {
    matrix_Matrix m{};
    Matrix(uint16_t rows, uint16_t columns, std::initializer_list<double> values = {}) {
        EXPECT_TRUE(matrix_NewMatrix(&m, rows, columns));
        int i = 0;
        for (double x : values) m.data[i / columns][i % columns] = x, ++i;
    }
    ~Matrix() { matrix_FreeMatrix(&m); }
};

struct Vector {
    matrix_Vector v{};
    explicit Vector(uint16_t count, std::initializer_list<double> values = {}) {
        EXPECT_TRUE(matrix_NewVector(&v, count));
        int i = 0;
        for (double x : values) v.data[i++] = x;
    }
    ~Vector() { matrix_FreeVector(&v); }
};

void ExpectMatrix(const matrix_Matrix& m, std::initializer_list<double> expected, double tolerance) {
    int i = 0;
    for (double x : expected) {
        EXPECT_NEAR(x, m.data[i / m.columns][i % m.columns], tolerance) << "element " << i;
        ++i;
    }
}

TEST(Matrix, InversesOfSmallMatrices) {
    struct Case {
        uint16_t n;
        bool symmetric;  // only the upper triangle given
        std::initializer_list<double> a, inverse;
    };
    const Case cases[] = {
        {2, false, {4, 7, 2, 6}, {0.6, -0.7, -0.2, 0.4}},
        {3, false, {1, 2, 3, 0, 1, 4, 5, 6, 0}, {-24, 18, 5, 20, -15, -4, -5, 4, 1}},
        {2, true, {4, 2, 99, 3}, {0.375, -0.25, -0.25, 0.5}},
        {3, true, {2, -1, 0, 99, 2, -1, 99, 99, 2}, {0.75, 0.5, 0.25, 0.5, 1, 0.5, 0.25, 0.5, 0.75}},
    };
    for (const Case& c : cases) {
        Matrix a(c.n, c.n, c.a), out(c.n, c.n);
        ASSERT_TRUE(c.symmetric ? matrix_InvertSymmetric(&a.m, &out.m) : matrix_Invert(&a.m, &out.m));
        ExpectMatrix(out.m, c.inverse, 1e-13);
    }
    const double m[9] = {1, 2, 3, 0, 1, 4, 5, 6, 0};
    double inverse[9];
    ASSERT_TRUE(matrix_Invert3x3(m, inverse));
    const double expected[9] = {-24, 18, 5, 20, -15, -4, -5, 4, 1};
    for (int i = 0; i < 9; ++i) EXPECT_NEAR(expected[i], inverse[i], 1e-13);
}

TEST(Matrix, SingularMatricesAndMismatchedOperandsAreRefused) {
    const double singular[9] = {1, 2, 3, 2, 4, 6, 1, 1, 1};
    double out9[9];
    EXPECT_FALSE(matrix_Invert3x3(singular, out9));
    Matrix zeroRow(3, 3, {1, 2, 3, 0, 0, 0, 4, 5, 6}), out3(3, 3);
    EXPECT_FALSE(matrix_Invert(&zeroRow.m, &out3.m));
    // The second pivot comes out exactly 0: no inverse is reported.
    Matrix zeroPivot(2, 2, {1, 2, 2, 4}), out2(2, 2);
    EXPECT_FALSE(matrix_Invert(&zeroPivot.m, &out2.m));
    Matrix indefinite(2, 2, {1, 2, 2, 1});
    EXPECT_FALSE(matrix_InvertSymmetric(&indefinite.m, &out2.m));
    EXPECT_FALSE(matrix_Invert(&out3.m, &out2.m));

    Matrix a(2, 3, {1, 2, 3, 4, 5, 6}), b(3, 2, {7, 8, 9, 10, 11, 12}), product(2, 2);
    ASSERT_TRUE(matrix_CombineMatrices(&product.m, &a.m, 2, &b.m));
    ExpectMatrix(product.m, {58, 64, 139, 154}, 0.0);
    EXPECT_FALSE(matrix_CombineMatrices(&product.m, &a.m, 0, &b.m));
    EXPECT_FALSE(matrix_CombineMatrices(&product.m, &a.m, 3, &b.m));
    Vector x(3, {1, -1, 2}), y(2), z(3);
    ASSERT_TRUE(matrix_MatrixTimesVector(&y.v, &a.m, &x.v));
    EXPECT_EQ(5.0, y.v.data[0]);
    EXPECT_EQ(11.0, y.v.data[1]);
    ASSERT_TRUE(matrix_VectorTimesMatrix(&z.v, &y.v, &a.m));
    EXPECT_EQ(81.0, z.v.data[2]);
    EXPECT_FALSE(matrix_AddVectors(&x.v, &x.v, 2, &z.v));
    EXPECT_FALSE(matrix_AddVectors(&y.v, &x.v, 0, &z.v));

    // A row that cannot be allocated leaves nothing behind.
    const int64_t live = csib_LiveAllocations();
    matrix_Matrix failed{};
    csib_FailAllocation(3);
    EXPECT_FALSE(matrix_NewMatrix(&failed, 4, 4));
    csib_FailAllocation(0);
    EXPECT_EQ(nullptr, failed.data);
    EXPECT_EQ(live, csib_LiveAllocations());
}

// --- The estimator ------------------------------------------------------------------

// Nine points over a degree around (47.5 N, 8.5 E), heights 200..1000 m.
struct PointSets {
    std::vector<matrix_Vector> source, target;
    PointSets(const double* parameters, int count = 9) {
        csib_HelmertParameters helmert{};
        for (int k = 0; k < 7; ++k) helmert.values[k] = parameters[k];
        csib_HelmertRotation(&helmert);
        for (int i = 0; i < count; ++i) {
            const csib_GeodeticPoint p{(47.0 + 0.5 * (i % 3)) * kDeg, (8.0 + 0.5 * (i / 3)) * kDeg, 200.0 + 100.0 * i,
                                       0.0, 1, 0};
            matrix_Vector x{}, y{};
            EXPECT_TRUE(matrix_NewVector(&x, 3) && matrix_NewVector(&y, 3));
            csib_GeodeticToECEF(6378137.0, 6356752.3142, &p, &x.data[0], &x.data[1], &x.data[2]);
            csib_HelmertForward(&helmert, x.data, y.data);
            source.push_back(x);
            target.push_back(y);
        }
    }
    ~PointSets() {
        for (auto* set : {&source, &target})
            for (matrix_Vector& v : *set) matrix_FreeVector(&v);
    }
    uint16_t Count() const { return static_cast<uint16_t>(source.size()); }
};

constexpr double kKnown[7] = {598.1, 73.7, 418.2, 0.202 * kArcSecond, 0.045 * kArcSecond, -2.455 * kArcSecond,
                              1.0 + 6.7e-6};
constexpr double kStart[7] = {0, 0, 0, 0, 0, 0, 1};

TEST(SolveHelmert, RecoversKnownParameters) {
    PointSets sets(kKnown);
    Vector p(7, {0, 0, 0, 0, 0, 0, 1});
    Matrix residuals(sets.Count(), 3);
    ASSERT_EQ(CSIB_Ok, csib_SolveHelmert(sets.source.data(), sets.target.data(), sets.Count(), 0, nullptr, &p.v,
                                         &residuals.m, 1e-9, 20, 0));
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(kKnown[k], p.v.data[k], 1e-6) << k;
    for (int k = 3; k < 6; ++k) EXPECT_NEAR(kKnown[k], p.v.data[k], 1e-12) << k;
    EXPECT_NEAR(kKnown[6], p.v.data[6], 1e-12);
    for (int i = 0; i < sets.Count(); ++i)
        for (int e = 0; e < 3; ++e) EXPECT_LT(std::fabs(residuals.m.data[i][e]), 1e-6);
}

TEST(SolveHelmert, HeldParametersStoppingAndSingularSystems) {
    // Rotations and scale held at 0 and 1: the pure shift.
    const double shift[7] = {10.0, -20.0, 30.0, 1e-6, 0, 0, 1.00001};
    {
        PointSets sets(shift);
        Vector given(7, {0, 0, 0, 0, 0, 0, 1}), p(7, {0, 0, 0, 0, 0, 0, 1});
        Matrix residuals(sets.Count(), 3);
        ASSERT_EQ(CSIB_Ok, csib_SolveHelmert(sets.source.data(), sets.target.data(), sets.Count(), 0x78, &given.v,
                                             &p.v, &residuals.m, 1e-9, 20, 0));
        EXPECT_NEAR(0.0, p.v.data[3], 1e-15);
        EXPECT_NEAR(1.0, p.v.data[6], 1e-15);
        // Without the rotation and scale the best shift is the mean difference.
        for (int e = 0; e < 3; ++e) {
            double mean = 0.0;
            for (int i = 0; i < sets.Count(); ++i) mean += (sets.target[i].data[e] - sets.source[i].data[e]) / 9.0;
            EXPECT_NEAR(mean, p.v.data[e], 1e-6);
        }
    }
    // Identical sets stop at once with zero residuals.
    {
        PointSets sets(kStart);
        Vector p(7, {0, 0, 0, 0, 0, 0, 1});
        Matrix residuals(sets.Count(), 3, {1, 1, 1});
        ASSERT_EQ(CSIB_Ok, csib_SolveHelmert(sets.source.data(), sets.target.data(), sets.Count(), 0, nullptr, &p.v,
                                             &residuals.m, 1e-9, 20, 1));
        for (int k = 0; k < 7; ++k) EXPECT_EQ(kStart[k], p.v.data[k]);
        for (int i = 0; i < sets.Count(); ++i)
            for (int e = 0; e < 3; ++e) EXPECT_EQ(0.0, residuals.m.data[i][e]);
    }
    // Stop mode 1 with tolerance 0 never stops early; a limit of 0 still takes one step.
    {
        PointSets sets(kKnown);
        Matrix residuals(sets.Count(), 3);
        for (int16_t limit : {5, 0}) {
            Vector p(7, {0, 0, 0, 0, 0, 0, 1});
            EXPECT_EQ(CSIB_IterationLimit, csib_SolveHelmert(sets.source.data(), sets.target.data(), sets.Count(),
                                                             0, nullptr, &p.v, &residuals.m, 0.0, limit, 1));
            EXPECT_NEAR(kKnown[0], p.v.data[0], limit == 0 ? 1e3 : 1e-6);
            EXPECT_NE(0.0, p.v.data[0]);
        }
    }
    // Two points with nothing held: the caller's parameters stay as they were.
    {
        PointSets sets(kKnown, 2);
        Vector p(7, {0, 0, 0, 0, 0, 0, 1});
        Matrix residuals(2, 3);
        EXPECT_EQ(CSIB_Singular, csib_SolveHelmert(sets.source.data(), sets.target.data(), 2, 0, nullptr, &p.v,
                                                   &residuals.m, 1e-9, 20, 0));
        for (int k = 0; k < 7; ++k) EXPECT_EQ(kStart[k], p.v.data[k]);
    }
}

}  // namespace
