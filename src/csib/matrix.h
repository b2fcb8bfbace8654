// Dense vectors and matrices of doubles for the Helmert estimator and the 3 x 3
// inverse of the earth-centred oblique plane. Storage comes from csib_MemAlloc. Every
// operation answers false, changing nothing, when an operand has no storage or a
// dimension does not fit; the decompositions also when the matrix is singular.
#pragma once

#include <cstdint>

#include "csib/csib.h"

struct matrix_Vector {
    uint16_t count;
    double* data;
};

struct matrix_Matrix {
    uint16_t rows;
    uint16_t columns;
    double** data;  // rows pointers to rows of columns doubles
};

bool matrix_NewVector(matrix_Vector* vector, uint16_t count);  // zeroed
bool matrix_NewMatrix(matrix_Matrix* matrix, uint16_t rows, uint16_t columns);  // zeroed; nothing kept on failure
bool matrix_FreeVector(matrix_Vector* vector);
bool matrix_FreeMatrix(matrix_Matrix* matrix);  // stops with false at a missing row
bool matrix_ZeroVector(matrix_Vector* vector);
bool matrix_ZeroMatrix(matrix_Matrix* matrix);
bool matrix_ScaleVector(double factor, matrix_Vector* vector);
bool matrix_ScaleMatrix(double factor, matrix_Matrix* matrix);
bool matrix_CopyVector(const matrix_Vector* source, matrix_Vector* target);
bool matrix_CopyMatrix(const matrix_Matrix* source, matrix_Matrix* target);
// operation 0: a + b, 1: a - b.
bool matrix_AddVectors(matrix_Vector* out, const matrix_Vector* a, int operation, const matrix_Vector* b);
// operation 0: A + B, 1: A - B, 2: the product A B.
bool matrix_CombineMatrices(matrix_Matrix* out, const matrix_Matrix* a, int operation, const matrix_Matrix* b);
bool matrix_VectorTimesMatrix(matrix_Vector* out, const matrix_Vector* v, const matrix_Matrix* m);  // v^T M
bool matrix_MatrixTimesVector(matrix_Vector* out, const matrix_Matrix* m, const matrix_Vector* v);  // M v
// Crout's method with scaled partial pivoting, in place; the pivot rows as doubles.
bool matrix_LUDecompose(matrix_Matrix* m, matrix_Vector* pivots);
// Solves a decomposed system; the right-hand side becomes the solution.
bool matrix_LUSolve(const matrix_Matrix* m, const matrix_Vector* pivots, matrix_Vector* rhs);
bool matrix_Invert(const matrix_Matrix* a, matrix_Matrix* out);
// A symmetric positive definite, given by its upper triangle.
bool matrix_InvertSymmetric(const matrix_Matrix* a, matrix_Matrix* out);
// Nine doubles row by row; false when the determinant is exactly 0.
bool matrix_Invert3x3(const double m[9], double out[9]);

// The held-parameter flag bits and the order of the estimator's seven parameters.
inline constexpr int CSIB_HelmertParameterCount = 7;  // tx, ty, tz, rx, ry, rz, s

// Seven Helmert parameters (target = T + s R source) from n point pairs by iterated
// least squares. Bit k of held pins parameter k to given[k]. Stop mode 0 stops when
// the largest residual length changes by less than the tolerance, 1 when it is below
// it. -30 when the normal matrix cannot be inverted, -29 after the step limit (with the
// last estimate and residuals), -26 without memory, -18 when an operand is missing or
// of the wrong size.
csib_Status csib_SolveHelmert(const matrix_Vector* source, const matrix_Vector* target, uint16_t count,
                              uint8_t held, const matrix_Vector* given, matrix_Vector* parameters,
                              matrix_Matrix* residuals, double tolerance, int16_t limit, uint8_t stopMode);
