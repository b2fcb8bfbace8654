// A small dense matrix of doubles for least-squares work: element access, copy, sum,
// product, transpose, identity, inversion by Gauss-Jordan elimination with partial
// pivoting and the normal-equation solution. Each row is a block of its own, so that
// pivoting exchanges row pointers instead of copying rows; a row is therefore known by
// its place in Data, not by its block.
//
// Every operation asserts the shapes it needs; a mismatch or an index out of range is
// reported and the operation touches nothing. The coordinate-system engine keeps its
// own matrices (matrix_Matrix); the two share operation names, not types.
#pragma once

#include <cstdint>

// Owned by its caller, usually on the stack; matrix_Create gives it storage and
// matrix_Destroy frees it. Empty until created.
struct matrix_Class {
    int16_t Rows = 0;
    int16_t Cols = 0;
    double** Data = nullptr;  // Rows row pointers, each to Cols doubles
};

// Storage for rows x cols elements, left uninitialised. False, with the matrix left
// empty, for a dimension outside 1..32767 or when memory runs out.
bool matrix_Create(int rows, int cols, matrix_Class* matrix);
// Frees the storage and leaves the matrix empty; an empty matrix is left as it is.
void matrix_Destroy(matrix_Class* matrix);

void matrix_SetElement(matrix_Class* matrix, int row, int col, double value);
// An index out of range leaves out unwritten.
void matrix_GetElement(const matrix_Class* matrix, int row, int col, double* out);
void matrix_SetZero(matrix_Class* matrix);
void matrix_Copy(const matrix_Class* source, matrix_Class* dest);

bool matrix_RowsMatch(const matrix_Class* a, const matrix_Class* b);
bool matrix_ColsMatch(const matrix_Class* a, const matrix_Class* b);
// a's rows equal b's columns.
bool matrix_RowsMatchCols(const matrix_Class* a, const matrix_Class* b);
bool matrix_IsSquare(const matrix_Class* matrix);

// result = m1 + m2.
void matrix_Add(const matrix_Class* m1, const matrix_Class* m2, matrix_Class* result);
// result = m1 m2; result must be neither operand.
void matrix_Multiply(const matrix_Class* m1, const matrix_Class* m2, matrix_Class* result);
// Row `row` of m1 times column `col` of m2, summed in index order.
double matrix_DotRowCol(const matrix_Class* m1, const matrix_Class* m2, int row, int col);
// tMatrix = the transpose of matrix; tMatrix must be another matrix.
void matrix_Transpose(const matrix_Class* matrix, matrix_Class* tMatrix);
void matrix_SetIdentity(matrix_Class* matrix);

// Results of matrix_Invert and matrix_LeastSquares.
enum matrix_Result : int {
    MATRIX_NotDone = 0,   // no working storage, or shapes that do not fit
    MATRIX_Singular = 1,  // the output holds partial results
    MATRIX_Solved = 2,
};

// inverse = matrix^-1; matrix is not changed.
int matrix_Invert(const matrix_Class* matrix, matrix_Class* inverse);
// Reduces m1 to the identity while applying the same row operations to m2. False when
// m1 is singular, both then partly reduced.
bool matrix_GaussJordan(matrix_Class* m1, matrix_Class* m2);
// x = (A^T A)^-1 A^T b for A of n x m, b of n x k and x of m x k.
int matrix_LeastSquares(const matrix_Class* A, matrix_Class* x, const matrix_Class* b);
