#include "cogo/matrix.h"

#include <cmath>
#include <cstring>
#include <new>
#include <utility>

#include "foundation/environment.h"

namespace {

constexpr const char* kModule = "QZ/matrix";

constexpr int kMaxDimension = INT16_MAX;

bool ElementInRange(const matrix_Class* matrix, int row, int col) {
    bool ok = QZ_ASSERT(row >= 0);
    ok = QZ_ASSERT(row < matrix->Rows) && ok;
    ok = QZ_ASSERT(col >= 0) && ok;
    ok = QZ_ASSERT(col < matrix->Cols) && ok;
    return ok;
}

// The steps of the elimination. Each acts on m1 and, row for row, on m2; the callers
// have checked the shapes.

bool matrix_AbsLess(double a, double b) { return std::fabs(a) < std::fabs(b); }

// From row col down, the row with the largest |element| in column col; the first of
// equal magnitudes wins.
int matrix_PivotRow(const matrix_Class* m, int col) {
    int best = col;
    for (int r = col + 1; r < m->Rows; ++r)
        if (matrix_AbsLess(m->Data[best][col], m->Data[r][col])) best = r;
    return best;
}

void matrix_SwapRows(matrix_Class* m1, matrix_Class* m2, int a, int b) {
    std::swap(m1->Data[a], m1->Data[b]);
    std::swap(m2->Data[a], m2->Data[b]);
}

bool matrix_ElementIsZero(const matrix_Class* m, int row, int col) { return m->Data[row][col] == 0.0; }

bool matrix_DiagonalIsZero(const matrix_Class* m, int row) { return matrix_ElementIsZero(m, row, row); }

bool matrix_RowIsZero(const matrix_Class* m, int row) {
    for (int j = 0; j < m->Cols; ++j)
        if (!matrix_ElementIsZero(m, row, j)) return false;
    return true;
}

void matrix_NormaliseRow(matrix_Class* m1, matrix_Class* m2, int i) {
    const double pivot = m1->Data[i][i];
    for (int j = i; j < m1->Cols; ++j) m1->Data[i][j] /= pivot;
    for (int j = 0; j < m2->Cols; ++j) m2->Data[i][j] /= pivot;
}

void matrix_EliminateBelow(matrix_Class* m1, matrix_Class* m2, int i) {
    for (int r = i + 1; r < m1->Rows; ++r) {
        const double f = -m1->Data[r][i];
        for (int j = i; j < m1->Cols; ++j) m1->Data[r][j] += f * m1->Data[i][j];
        for (int j = 0; j < m2->Cols; ++j) m2->Data[r][j] += f * m2->Data[i][j];
    }
}

void matrix_EliminateAbove(matrix_Class* m1, matrix_Class* m2) {
    for (int p = m1->Rows - 1; p >= 0; --p) {
        for (int r = p - 1; r >= 0; --r) {
            const double f = -m1->Data[r][p];
            for (int j = m1->Cols - 1; j >= p; --j) m1->Data[r][j] += f * m1->Data[p][j];
            for (int j = m2->Cols - 1; j >= 0; --j) m2->Data[r][j] += f * m2->Data[p][j];
        }
    }
}

bool matrix_ForwardEliminate(matrix_Class* m1, matrix_Class* m2) {
    for (int i = 0; i < m1->Cols; ++i) {
        matrix_SwapRows(m1, m2, i, matrix_PivotRow(m1, i));
        if (matrix_DiagonalIsZero(m1, i) || matrix_RowIsZero(m1, i)) return false;
        matrix_NormaliseRow(m1, m2, i);
        matrix_EliminateBelow(m1, m2, i);
    }
    return true;
}

}  // namespace

bool matrix_Create(int rows, int cols, matrix_Class* matrix) {
    *matrix = matrix_Class();
    if (rows < 1 || cols < 1 || rows > kMaxDimension || cols > kMaxDimension) return false;
    double** data = new (std::nothrow) double*[rows]();
    if (data == nullptr) return false;
    for (int r = 0; r < rows; ++r) {
        data[r] = new (std::nothrow) double[cols];
        if (data[r] == nullptr) {
            for (int k = 0; k < r; ++k) delete[] data[k];
            delete[] data;
            return false;
        }
    }
    matrix->Rows = static_cast<int16_t>(rows);
    matrix->Cols = static_cast<int16_t>(cols);
    matrix->Data = data;
    return true;
}

void matrix_Destroy(matrix_Class* matrix) {
    // What a failed creation (or an earlier destruction) left needs nothing freed.
    if (matrix->Data == nullptr && matrix->Rows == 0 && matrix->Cols == 0) return;
    if (!QZ_ASSERT(matrix->Data)) return;
    for (int r = 0; r < matrix->Rows; ++r) delete[] matrix->Data[r];
    delete[] matrix->Data;
    *matrix = matrix_Class();
}

void matrix_SetElement(matrix_Class* matrix, int row, int col, double value) {
    if (ElementInRange(matrix, row, col)) matrix->Data[row][col] = value;
}

void matrix_GetElement(const matrix_Class* matrix, int row, int col, double* out) {
    if (ElementInRange(matrix, row, col)) *out = matrix->Data[row][col];
}

void matrix_SetZero(matrix_Class* matrix) {
    if (!QZ_ASSERT(matrix->Data)) return;
    for (int j = 0; j < matrix->Cols; ++j) matrix->Data[0][j] = 0.0;
    for (int r = 1; r < matrix->Rows; ++r) std::memcpy(matrix->Data[r], matrix->Data[0], matrix->Cols * sizeof(double));
}

void matrix_Copy(const matrix_Class* source, matrix_Class* dest) {
    if (!QZ_ASSERT_TEXT(matrix_RowsMatch(source, dest) && matrix_ColsMatch(source, dest),
                        "matrix_RowsMatch (source, dest) && matrix_ColsMatch (source, dest)"))
        return;
    if (source == dest) return;
    for (int r = 0; r < source->Rows; ++r) std::memcpy(dest->Data[r], source->Data[r], source->Cols * sizeof(double));
}

bool matrix_RowsMatch(const matrix_Class* a, const matrix_Class* b) { return a->Rows == b->Rows; }

bool matrix_ColsMatch(const matrix_Class* a, const matrix_Class* b) { return a->Cols == b->Cols; }

bool matrix_RowsMatchCols(const matrix_Class* a, const matrix_Class* b) { return a->Rows == b->Cols; }

bool matrix_IsSquare(const matrix_Class* matrix) { return matrix->Rows == matrix->Cols; }

void matrix_Add(const matrix_Class* m1, const matrix_Class* m2, matrix_Class* result) {
    if (!QZ_ASSERT_TEXT(matrix_RowsMatch(m1, m2) && matrix_ColsMatch(m1, m2) && matrix_RowsMatch(m1, result) &&
                            matrix_ColsMatch(m1, result),
                        "matrix_RowsMatch (m1, m2) && matrix_ColsMatch (m1, m2) && matrix_RowsMatch (m1, result) && "
                        "matrix_ColsMatch (m1, result)"))
        return;
    for (int i = 0; i < result->Rows; ++i)
        for (int j = 0; j < result->Cols; ++j) result->Data[i][j] = m1->Data[i][j] + m2->Data[i][j];
}

void matrix_Multiply(const matrix_Class* m1, const matrix_Class* m2, matrix_Class* result) {
    if (!QZ_ASSERT_TEXT(matrix_RowsMatchCols(m2, m1) && matrix_RowsMatch(m1, result) && matrix_ColsMatch(m2, result),
                        "matrix_RowsMatchCols (m2, m1) && matrix_RowsMatch (m1, result) && matrix_ColsMatch (m2, result)"))
        return;
    // Writing into an operand would feed half-made products back into the sums.
    if (!QZ_ASSERT(result != m1 && result != m2)) return;
    for (int i = 0; i < result->Rows; ++i)
        for (int j = 0; j < result->Cols; ++j) result->Data[i][j] = matrix_DotRowCol(m1, m2, i, j);
}

double matrix_DotRowCol(const matrix_Class* m1, const matrix_Class* m2, int row, int col) {
    bool ok = QZ_ASSERT(row >= 0 && row < m1->Rows);
    ok = QZ_ASSERT(col >= 0 && col < m2->Cols) && ok;
    ok = QZ_ASSERT_TEXT(matrix_RowsMatchCols(m2, m1), "matrix_RowsMatchCols (m2, m1)") && ok;
    double sum = 0.0;
    if (!ok) return sum;
    for (int k = 0; k < m1->Cols; ++k) sum += m1->Data[row][k] * m2->Data[k][col];
    return sum;
}

void matrix_Transpose(const matrix_Class* matrix, matrix_Class* tMatrix) {
    if (!QZ_ASSERT_TEXT(matrix_RowsMatchCols(matrix, tMatrix) && matrix_RowsMatchCols(tMatrix, matrix),
                        "matrix_RowsMatchCols (matrix, tMatrix) && matrix_RowsMatchCols (tMatrix, matrix)"))
        return;
    if (!QZ_ASSERT(tMatrix != matrix)) return;
    for (int i = 0; i < matrix->Rows; ++i)
        for (int j = 0; j < matrix->Cols; ++j) tMatrix->Data[j][i] = matrix->Data[i][j];
}

void matrix_SetIdentity(matrix_Class* matrix) {
    if (!QZ_ASSERT_TEXT(matrix_IsSquare(matrix), "matrix_IsSquare (matrix)")) return;
    matrix_SetZero(matrix);
    if (matrix->Data == nullptr) return;
    for (int i = 0; i < matrix->Rows; ++i) matrix->Data[i][i] = 1.0;
}

bool matrix_GaussJordan(matrix_Class* m1, matrix_Class* m2) {
    if (!QZ_ASSERT_TEXT(matrix_IsSquare(m1) && matrix_IsSquare(m2) && matrix_RowsMatch(m1, m2),
                        "matrix_IsSquare (m1) && matrix_IsSquare (m2) && matrix_RowsMatch (m1, m2)"))
        return false;
    if (!matrix_ForwardEliminate(m1, m2)) return false;
    matrix_EliminateAbove(m1, m2);
    return true;
}

int matrix_Invert(const matrix_Class* matrix, matrix_Class* inverse) {
    if (!QZ_ASSERT_TEXT(matrix_IsSquare(matrix) && matrix_IsSquare(inverse) && matrix_RowsMatch(matrix, inverse),
                        "matrix_IsSquare (matrix) && matrix_IsSquare (inverse) && matrix_RowsMatch (matrix, inverse)"))
        return MATRIX_NotDone;
    matrix_Class work;
    if (!matrix_Create(matrix->Rows, matrix->Cols, &work)) return MATRIX_NotDone;
    matrix_Copy(matrix, &work);
    matrix_SetIdentity(inverse);
    const bool solved = matrix_GaussJordan(&work, inverse);
    matrix_Destroy(&work);
    return solved ? MATRIX_Solved : MATRIX_Singular;
}

int matrix_LeastSquares(const matrix_Class* A, matrix_Class* x, const matrix_Class* b) {
    // The products below would only report a misfit of x or b; the solution would then
    // be missing while the result said solved.
    if (!QZ_ASSERT_TEXT(matrix_RowsMatch(A, b) && matrix_RowsMatchCols(x, A) && matrix_ColsMatch(x, b),
                        "matrix_RowsMatch (A, b) && matrix_RowsMatchCols (x, A) && matrix_ColsMatch (x, b)"))
        return MATRIX_NotDone;
    const int n = A->Rows, m = A->Cols;
    matrix_Class at, ata, inv, p;
    int result = MATRIX_NotDone;
    if (matrix_Create(m, n, &at) && matrix_Create(m, m, &ata) && matrix_Create(m, m, &inv) &&
        matrix_Create(m, n, &p)) {
        matrix_Transpose(A, &at);
        matrix_Multiply(&at, A, &ata);
        result = matrix_Invert(&ata, &inv);
        if (result == MATRIX_Solved) {
            matrix_Multiply(&inv, &at, &p);
            matrix_Multiply(&p, b, x);
        }
    }
    matrix_Destroy(&at);
    matrix_Destroy(&ata);
    matrix_Destroy(&inv);
    matrix_Destroy(&p);
    return result;
}
