#include "cogo/matrix.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "support/recording_environment.h"

namespace {

using Rows = std::initializer_list<std::initializer_list<double>>;

// A created matrix that frees itself.
class M {
public:
    M(int rows, int cols) { EXPECT_TRUE(matrix_Create(rows, cols, &m)); }
    M(Rows rows) : M(static_cast<int>(rows.size()), static_cast<int>(rows.begin()->size())) { Set(rows); }
    ~M() { matrix_Destroy(&m); }
    M(const M&) = delete;
    M& operator=(const M&) = delete;

    void Set(Rows rows) {
        int i = 0;
        for (const auto& row : rows) {
            int j = 0;
            for (double v : row) matrix_SetElement(&m, i, j++, v);
            ++i;
        }
    }
    void Fill(double v) {
        for (int i = 0; i < m.Rows; ++i)
            for (int j = 0; j < m.Cols; ++j) m.Data[i][j] = v;
    }
    double At(int i, int j) const {
        double v = -999.0;
        matrix_GetElement(&m, i, j, &v);
        return v;
    }
    void ExpectEq(Rows rows, double tolerance = 0.0) const {
        ASSERT_EQ(static_cast<int>(rows.size()), m.Rows);
        int i = 0;
        for (const auto& row : rows) {
            ASSERT_EQ(static_cast<int>(row.size()), m.Cols);
            int j = 0;
            for (double v : row) {
                EXPECT_NEAR(At(i, j), v, tolerance) << "at " << i << ", " << j;
                ++j;
            }
            ++i;
        }
    }

    matrix_Class m;
};

TEST(Matrix, CreateAndDestroy) {
    RecordingEnvironment env;
    matrix_Class a;
    ASSERT_TRUE(matrix_Create(2, 3, &a));
    EXPECT_EQ(a.Rows, 2);
    EXPECT_EQ(a.Cols, 3);
    ASSERT_NE(a.Data, nullptr);
    EXPECT_NE(a.Data[0], a.Data[1]);
    matrix_Destroy(&a);
    EXPECT_EQ(a.Data, nullptr);
    matrix_Destroy(&a);  // already empty

    // Sizes are 16-bit and at least 1: anything else leaves the matrix empty.
    for (auto [rows, cols] : {std::pair{0, 3}, {3, 0}, {-1, 2}, {32768, 1}, {1, 40000}}) {
        matrix_Class b;
        b.Rows = 7;
        EXPECT_FALSE(matrix_Create(rows, cols, &b)) << rows << " x " << cols;
        EXPECT_EQ(b.Rows, 0);
        EXPECT_EQ(b.Cols, 0);
        EXPECT_EQ(b.Data, nullptr);
        matrix_Destroy(&b);
    }
    EXPECT_TRUE(env.assertions.empty());
}

TEST(Matrix, ElementAccessOutOfRangeTouchesNothing) {
    RecordingEnvironment env;
    M a({{1, 2}, {3, 4}});
    EXPECT_TRUE(env.assertions.empty());
    matrix_SetElement(&a.m, 2, 0, 9.0);
    matrix_SetElement(&a.m, 0, -1, 9.0);
    a.ExpectEq({{1, 2}, {3, 4}});
    double out = 5.0;
    matrix_GetElement(&a.m, 0, 2, &out);
    matrix_GetElement(&a.m, -1, 5, &out);
    EXPECT_EQ(out, 5.0);
    EXPECT_EQ(env.Expressions(), (std::vector<std::string>{"row < matrix->Rows", "col >= 0", "col < matrix->Cols",
                                                           "row >= 0", "col < matrix->Cols"}));
    EXPECT_EQ(env.assertions[0].module, "QZ/matrix");
}

TEST(Matrix, SetZeroAndIdentity) {
    M row(1, 3), column(3, 1), square(3, 3);
    for (M* m : {&row, &column, &square}) m->Fill(7.0);
    matrix_SetZero(&row.m);
    matrix_SetZero(&column.m);
    row.ExpectEq({{0, 0, 0}});
    column.ExpectEq({{0}, {0}, {0}});
    matrix_SetIdentity(&square.m);
    square.ExpectEq({{1, 0, 0}, {0, 1, 0}, {0, 0, 1}});

    RecordingEnvironment env;
    row.Fill(7.0);
    matrix_SetIdentity(&row.m);
    row.ExpectEq({{7, 7, 7}});
    matrix_Class empty;
    matrix_SetZero(&empty);
    EXPECT_EQ(env.Expressions(), (std::vector<std::string>{"matrix_IsSquare (matrix)", "matrix->Data"}));
}

TEST(Matrix, CopyAddMultiplyTranspose) {
    M a({{1, 2, 3}, {4, 5, 6}}), b({{0.5, -1, 2}, {1, 0, -3}}), c({{1, 0}, {2, 1}, {-1, 4}});
    M copy(2, 3), sum(2, 3), product(2, 2), t(3, 2);
    matrix_Copy(&a.m, &copy.m);
    copy.ExpectEq({{1, 2, 3}, {4, 5, 6}});
    matrix_Add(&a.m, &b.m, &sum.m);
    sum.ExpectEq({{1.5, 1, 5}, {5, 5, 3}});
    matrix_Multiply(&a.m, &c.m, &product.m);
    product.ExpectEq({{2, 14}, {8, 29}});
    EXPECT_EQ(matrix_DotRowCol(&a.m, &c.m, 1, 1), 29.0);
    matrix_Transpose(&a.m, &t.m);
    t.ExpectEq({{1, 4}, {2, 5}, {3, 6}});
    EXPECT_TRUE(matrix_RowsMatch(&a.m, &b.m) && matrix_ColsMatch(&a.m, &b.m) && matrix_RowsMatchCols(&a.m, &c.m));
    EXPECT_FALSE(matrix_IsSquare(&a.m));
    EXPECT_TRUE(matrix_IsSquare(&product.m));
}

TEST(Matrix, ShapeMismatchesAreReportedAndTouchNothing) {
    RecordingEnvironment env;
    M a({{1, 2, 3}, {4, 5, 6}}), square({{1, 2}, {3, 4}}), out(2, 2);
    out.Fill(7.0);
    env.Clear();
    matrix_Copy(&a.m, &out.m);
    matrix_Add(&a.m, &square.m, &out.m);
    matrix_Multiply(&square.m, &a.m, &out.m);  // the product is 2 x 3
    matrix_Multiply(&square.m, &square.m, &square.m);
    matrix_Transpose(&a.m, &out.m);
    matrix_Transpose(&square.m, &square.m);
    EXPECT_EQ(matrix_DotRowCol(&a.m, &a.m, 0, 0), 0.0);
    EXPECT_EQ(matrix_DotRowCol(&square.m, &square.m, 2, 0), 0.0);
    EXPECT_EQ(matrix_Invert(&a.m, &out.m), MATRIX_NotDone);
    EXPECT_FALSE(matrix_GaussJordan(&square.m, &a.m));
    out.ExpectEq({{7, 7}, {7, 7}});
    square.ExpectEq({{1, 2}, {3, 4}});
    EXPECT_EQ(env.Expressions(),
              (std::vector<std::string>{
                  "matrix_RowsMatch (source, dest) && matrix_ColsMatch (source, dest)",
                  "matrix_RowsMatch (m1, m2) && matrix_ColsMatch (m1, m2) && matrix_RowsMatch (m1, result) && "
                  "matrix_ColsMatch (m1, result)",
                  "matrix_RowsMatchCols (m2, m1) && matrix_RowsMatch (m1, result) && matrix_ColsMatch (m2, result)",
                  "result != m1 && result != m2",
                  "matrix_RowsMatchCols (matrix, tMatrix) && matrix_RowsMatchCols (tMatrix, matrix)",
                  "tMatrix != matrix",
                  "matrix_RowsMatchCols (m2, m1)",
                  "row >= 0 && row < m1->Rows",
                  "matrix_IsSquare (matrix) && matrix_IsSquare (inverse) && matrix_RowsMatch (matrix, inverse)",
                  "matrix_IsSquare (m1) && matrix_IsSquare (m2) && matrix_RowsMatch (m1, m2)",
              }));
}

TEST(Matrix, InvertSwapsRowPointers) {
    // The first pivot of [[0, 1], [1, 0]] lies in the lower row: the rows change
    // places by their pointers, and the matrix is its own inverse.
    M a({{0, 1}, {1, 0}}), inv(2, 2);
    double* const upper = inv.m.Data[0];
    double* const lower = inv.m.Data[1];
    EXPECT_EQ(matrix_Invert(&a.m, &inv.m), MATRIX_Solved);
    inv.ExpectEq({{0, 1}, {1, 0}});
    EXPECT_EQ(inv.m.Data[0], lower);
    EXPECT_EQ(inv.m.Data[1], upper);
    a.ExpectEq({{0, 1}, {1, 0}});  // the input stays as it was
}

TEST(Matrix, PivotTieKeepsTheUpperRow) {
    struct Case { Rows matrix; Rows inverse; bool swapped; };
    const Case cases[] = {
        {{{2, 1}, {-2, 1}}, {{0.25, -0.25}, {0.5, 0.5}}, false},  // |2| = |-2|
        {{{1, 1}, {-2, 1}}, {{1.0 / 3, -1.0 / 3}, {2.0 / 3, 1.0 / 3}}, true},
    };
    for (const Case& c : cases) {
        M a(c.matrix), inv(2, 2);
        double* const upper = inv.m.Data[0];
        EXPECT_EQ(matrix_Invert(&a.m, &inv.m), MATRIX_Solved);
        inv.ExpectEq(c.inverse, 1e-15);
        EXPECT_EQ(inv.m.Data[0] != upper, c.swapped);
    }
}

TEST(Matrix, InvertGeneralAndSingular) {
    // det 9; the inverse is the adjugate over 9.
    M a({{4, 7, 2}, {3, 6, 1}, {2, 5, 3}}), inv(3, 3);
    EXPECT_EQ(matrix_Invert(&a.m, &inv.m), MATRIX_Solved);
    inv.ExpectEq({{13.0 / 9, -11.0 / 9, -5.0 / 9}, {-7.0 / 9, 8.0 / 9, 2.0 / 9}, {1.0 / 3, -2.0 / 3, 1.0 / 3}}, 1e-14);

    // A zero pivot once the first column is eliminated.
    M s({{1, 2}, {2, 4}}), sinv(2, 2);
    EXPECT_EQ(matrix_Invert(&s.m, &sinv.m), MATRIX_Singular);
    s.ExpectEq({{1, 2}, {2, 4}});
    M z({{0, 0}, {0, 0}}), zinv(2, 2);
    EXPECT_EQ(matrix_Invert(&z.m, &zinv.m), MATRIX_Singular);

    M one({{4}}), oneInv(1, 1);
    EXPECT_EQ(matrix_Invert(&one.m, &oneInv.m), MATRIX_Solved);
    oneInv.ExpectEq({{0.25}});
}

TEST(Matrix, LeastSquares) {
    M a({{1, 0}, {1, 1}, {1, 2}});
    // Exact line: y = 1 + 2x.
    M b({{1}, {3}, {5}}), x(2, 1);
    EXPECT_EQ(matrix_LeastSquares(&a.m, &x.m, &b.m), MATRIX_Solved);
    x.ExpectEq({{1}, {2}}, 1e-14);

    // Two right-hand sides with residuals; the normal equations solved exactly.
    M b2({{1, 0}, {3.5, 1}, {5, 1}}), x2(2, 2);
    EXPECT_EQ(matrix_LeastSquares(&a.m, &x2.m, &b2.m), MATRIX_Solved);
    x2.ExpectEq({{7.0 / 6, 1.0 / 6}, {2, 0.5}}, 1e-14);

    // Dependent columns: singular, x untouched.
    M dependent({{1, 2}, {2, 4}, {3, 6}});
    x.Fill(7.0);
    EXPECT_EQ(matrix_LeastSquares(&dependent.m, &x.m, &b.m), MATRIX_Singular);
    x.ExpectEq({{7}, {7}});

    // An x that does not fit would be left unsolved: nothing is done.
    RecordingEnvironment env;
    M wrong(3, 1);
    wrong.Fill(7.0);
    EXPECT_EQ(matrix_LeastSquares(&a.m, &wrong.m, &b.m), MATRIX_NotDone);
    wrong.ExpectEq({{7}, {7}, {7}});
    EXPECT_EQ(env.Expressions(), std::vector<std::string>{
                                     "matrix_RowsMatch (A, b) && matrix_RowsMatchCols (x, A) && matrix_ColsMatch (x, b)"});
}

}  // namespace
