// Dense vectors and matrices of doubles.
#include "csib/matrix.h"

#include <cmath>
#include <cstring>

#include "csib/csibplatform.h"

namespace {

bool Has(const matrix_Vector* v) { return v && v->data; }
bool Has(const matrix_Matrix* m) { return m && m->data; }
bool SameShape(const matrix_Matrix* a, const matrix_Matrix* b) {
    return a->rows == b->rows && a->columns == b->columns;
}
bool Square(const matrix_Matrix* m) { return m->rows == m->columns; }

// Work storage that releases itself.
struct WorkMatrix {
    matrix_Matrix m{};
    bool Make(uint16_t rows, uint16_t columns) { return matrix_NewMatrix(&m, rows, columns); }
    ~WorkMatrix() {
        if (m.data) matrix_FreeMatrix(&m);
    }
};
struct WorkVector {
    matrix_Vector v{};
    bool Make(uint16_t count) { return matrix_NewVector(&v, count); }
    ~WorkVector() {
        if (v.data) matrix_FreeVector(&v);
    }
};

}  // namespace

bool matrix_NewVector(matrix_Vector* vector, uint16_t count) {
    auto* data = static_cast<double*>(csib_MemAlloc(sizeof(double) * (count ? count : 1u)));
    if (!data) return false;
    std::memset(data, 0, sizeof(double) * count);
    vector->count = count;
    vector->data = data;
    return true;
}

bool matrix_NewMatrix(matrix_Matrix* matrix, uint16_t rows, uint16_t columns) {
    auto** data = static_cast<double**>(csib_MemAlloc(sizeof(double*) * (rows ? rows : 1u)));
    if (!data) return false;
    for (uint16_t i = 0; i < rows; ++i) {
        data[i] = static_cast<double*>(csib_MemAlloc(sizeof(double) * (columns ? columns : 1u)));
        if (!data[i]) {
            while (i > 0) csib_MemFree(data[--i]);
            csib_MemFree(data);
            return false;
        }
        std::memset(data[i], 0, sizeof(double) * columns);
    }
    matrix->rows = rows;
    matrix->columns = columns;
    matrix->data = data;
    return true;
}

bool matrix_FreeVector(matrix_Vector* vector) {
    if (!Has(vector)) return false;
    csib_MemFree(vector->data);
    vector->data = nullptr;
    vector->count = 0;
    return true;
}

bool matrix_FreeMatrix(matrix_Matrix* matrix) {
    if (!Has(matrix)) return false;
    for (uint16_t i = 0; i < matrix->rows; ++i) {
        if (!matrix->data[i]) return false;
        csib_MemFree(matrix->data[i]);
        matrix->data[i] = nullptr;
    }
    csib_MemFree(matrix->data);
    matrix->data = nullptr;
    matrix->rows = matrix->columns = 0;
    return true;
}

bool matrix_ZeroVector(matrix_Vector* vector) {
    if (!Has(vector)) return false;
    std::memset(vector->data, 0, sizeof(double) * vector->count);
    return true;
}

bool matrix_ZeroMatrix(matrix_Matrix* matrix) {
    if (!Has(matrix)) return false;
    for (uint16_t i = 0; i < matrix->rows; ++i) std::memset(matrix->data[i], 0, sizeof(double) * matrix->columns);
    return true;
}

bool matrix_ScaleVector(double factor, matrix_Vector* vector) {
    if (!Has(vector)) return false;
    for (uint16_t i = 0; i < vector->count; ++i) vector->data[i] *= factor;
    return true;
}

bool matrix_ScaleMatrix(double factor, matrix_Matrix* matrix) {
    if (!Has(matrix)) return false;
    for (uint16_t i = 0; i < matrix->rows; ++i)
        for (uint16_t j = 0; j < matrix->columns; ++j) matrix->data[i][j] *= factor;
    return true;
}

bool matrix_CopyVector(const matrix_Vector* source, matrix_Vector* target) {
    if (!Has(source) || !Has(target) || source->count != target->count) return false;
    std::memcpy(target->data, source->data, sizeof(double) * source->count);
    return true;
}

bool matrix_CopyMatrix(const matrix_Matrix* source, matrix_Matrix* target) {
    if (!Has(source) || !Has(target) || !SameShape(source, target)) return false;
    for (uint16_t i = 0; i < source->rows; ++i)
        std::memcpy(target->data[i], source->data[i], sizeof(double) * source->columns);
    return true;
}

bool matrix_AddVectors(matrix_Vector* out, const matrix_Vector* a, int operation, const matrix_Vector* b) {
    if (!Has(out) || !Has(a) || !Has(b) || (operation != 0 && operation != 1)) return false;
    if (a->count != b->count || out->count != a->count) return false;
    for (uint16_t i = 0; i < a->count; ++i)
        out->data[i] = operation == 0 ? a->data[i] + b->data[i] : a->data[i] - b->data[i];
    return true;
}

bool matrix_CombineMatrices(matrix_Matrix* out, const matrix_Matrix* a, int operation, const matrix_Matrix* b) {
    if (!Has(out) || !Has(a) || !Has(b)) return false;
    if (operation == 0 || operation == 1) {
        if (!SameShape(a, b) || !SameShape(out, a)) return false;
        for (uint16_t i = 0; i < a->rows; ++i)
            for (uint16_t j = 0; j < a->columns; ++j)
                out->data[i][j] = operation == 0 ? a->data[i][j] + b->data[i][j] : a->data[i][j] - b->data[i][j];
        return true;
    }
    if (operation != 2 || a->columns != b->rows || out->rows != a->rows || out->columns != b->columns) return false;
    matrix_ZeroMatrix(out);
    for (uint16_t i = 0; i < a->rows; ++i)
        for (uint16_t j = 0; j < b->columns; ++j)
            for (uint16_t k = 0; k < a->columns; ++k) out->data[i][j] += a->data[i][k] * b->data[k][j];
    return true;
}

bool matrix_VectorTimesMatrix(matrix_Vector* out, const matrix_Vector* v, const matrix_Matrix* m) {
    if (!Has(out) || !Has(v) || !Has(m) || v->count != m->rows || out->count != m->columns) return false;
    for (uint16_t i = 0; i < m->columns; ++i) {
        double sum = 0.0;
        for (uint16_t j = 0; j < m->rows; ++j) sum += v->data[j] * m->data[j][i];
        out->data[i] = sum;
    }
    return true;
}

bool matrix_MatrixTimesVector(matrix_Vector* out, const matrix_Matrix* m, const matrix_Vector* v) {
    if (!Has(out) || !Has(v) || !Has(m) || v->count != m->columns || out->count != m->rows) return false;
    for (uint16_t i = 0; i < m->rows; ++i) {
        double sum = 0.0;
        for (uint16_t j = 0; j < m->columns; ++j) sum += m->data[i][j] * v->data[j];
        out->data[i] = sum;
    }
    return true;
}

bool matrix_LUDecompose(matrix_Matrix* m, matrix_Vector* pivots) {
    if (!Has(m) || !Has(pivots) || !Square(m) || pivots->count != m->rows) return false;
    const uint16_t n = m->rows;
    WorkVector scale;
    if (!scale.Make(n)) return false;
    double** a = m->data;
    double* vv = scale.v.data;
    for (uint16_t i = 0; i < n; ++i) {
        double big = 0.0;
        for (uint16_t j = 0; j < n; ++j) big = std::fmax(big, std::fabs(a[i][j]));
        if (big == 0.0) return false;
        vv[i] = 1.0 / big;
    }
    for (uint16_t j = 0; j < n; ++j) {
        for (uint16_t i = 0; i < j; ++i) {
            double sum = a[i][j];
            for (uint16_t k = 0; k < i; ++k) sum -= a[i][k] * a[k][j];
            a[i][j] = sum;
        }
        double big = 0.0;
        uint16_t pivot = j;
        for (uint16_t i = j; i < n; ++i) {
            double sum = a[i][j];
            for (uint16_t k = 0; k < j; ++k) sum -= a[i][k] * a[k][j];
            a[i][j] = sum;
            if (vv[i] * std::fabs(sum) >= big) {
                big = vv[i] * std::fabs(sum);
                pivot = i;
            }
        }
        if (pivot != j) {
            double* row = a[pivot];
            a[pivot] = a[j];
            a[j] = row;
            vv[pivot] = vv[j];
        }
        pivots->data[j] = pivot;
        // An exactly zero pivot means a singular matrix: there is no inverse to report.
        if (a[j][j] == 0.0) return false;
        for (uint16_t i = j + 1; i < n; ++i) a[i][j] /= a[j][j];
    }
    return true;
}

bool matrix_LUSolve(const matrix_Matrix* m, const matrix_Vector* pivots, matrix_Vector* rhs) {
    if (!Has(m) || !Has(pivots) || !Has(rhs) || !Square(m) || pivots->count != m->rows || rhs->count != m->rows)
        return false;
    const int n = m->rows;
    double** a = m->data;
    double* b = rhs->data;
    int first = -1;
    for (int i = 0; i < n; ++i) {
        const int p = static_cast<int>(pivots->data[i]);
        if (p < 0 || p >= n) return false;
        double sum = b[p];
        b[p] = b[i];
        if (first >= 0)
            for (int j = first; j < i; ++j) sum -= a[i][j] * b[j];
        else if (sum != 0.0)
            first = i;
        b[i] = sum;
    }
    for (int i = n - 1; i >= 0; --i) {
        double sum = b[i];
        for (int j = i + 1; j < n; ++j) sum -= a[i][j] * b[j];
        b[i] = sum / a[i][i];
    }
    return true;
}

bool matrix_Invert(const matrix_Matrix* a, matrix_Matrix* out) {
    if (!Has(a) || !Has(out) || !Square(a) || !SameShape(a, out)) return false;
    const uint16_t n = a->rows;
    WorkMatrix lu;
    WorkVector pivots, column;
    if (!lu.Make(n, n) || !pivots.Make(n) || !column.Make(n)) return false;
    matrix_CopyMatrix(a, &lu.m);
    if (!matrix_LUDecompose(&lu.m, &pivots.v)) return false;
    for (uint16_t j = 0; j < n; ++j) {
        matrix_ZeroVector(&column.v);
        column.v.data[j] = 1.0;
        matrix_LUSolve(&lu.m, &pivots.v, &column.v);
        for (uint16_t i = 0; i < n; ++i) out->data[i][j] = column.v.data[i];
    }
    return true;
}

bool matrix_InvertSymmetric(const matrix_Matrix* a, matrix_Matrix* out) {
    if (!Has(a) || !Has(out) || !Square(a) || !SameShape(a, out)) return false;
    const uint16_t n = a->rows;
    WorkMatrix lower, inverse;
    if (!lower.Make(n, n) || !inverse.Make(n, n)) return false;
    double** l = lower.m.data;
    // Cholesky A = L L^T from the upper triangle, column by column.
    for (uint16_t j = 0; j < n; ++j) {
        double diagonal = a->data[j][j];
        for (uint16_t k = 0; k < j; ++k) diagonal -= l[j][k] * l[j][k];
        if (!(diagonal > 0.0)) return false;
        l[j][j] = std::sqrt(diagonal);
        if (l[j][j] == 0.0) return false;
        for (uint16_t i = j + 1; i < n; ++i) {
            double sum = a->data[j][i];
            for (uint16_t k = 0; k < j; ++k) sum -= l[i][k] * l[j][k];
            l[i][j] = sum / l[j][j];
        }
    }
    // L^-1 by forward substitution; its upper triangle stays 0.
    double** li = inverse.m.data;
    for (uint16_t j = 0; j < n; ++j) {
        li[j][j] = 1.0 / l[j][j];
        for (uint16_t i = j + 1; i < n; ++i) {
            double sum = 0.0;
            for (uint16_t k = j; k < i; ++k) sum -= l[i][k] * li[k][j];
            li[i][j] = sum / l[i][i];
        }
    }
    // A^-1 = L^-T L^-1.
    for (uint16_t i = 0; i < n; ++i)
        for (uint16_t j = i; j < n; ++j) {
            double sum = 0.0;
            for (uint16_t k = j; k < n; ++k) sum += li[k][i] * li[k][j];
            out->data[i][j] = out->data[j][i] = sum;
        }
    return true;
}

bool matrix_Invert3x3(const double m[9], double out[9]) {
    const double c[9] = {m[4] * m[8] - m[5] * m[7], m[5] * m[6] - m[3] * m[8], m[3] * m[7] - m[4] * m[6],
                         m[2] * m[7] - m[1] * m[8], m[0] * m[8] - m[2] * m[6], m[1] * m[6] - m[0] * m[7],
                         m[1] * m[5] - m[2] * m[4], m[2] * m[3] - m[0] * m[5], m[0] * m[4] - m[1] * m[3]};
    const double determinant = m[0] * c[0] + m[1] * c[1] + m[2] * c[2];
    if (determinant == 0.0) return false;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) out[3 * i + j] = c[3 * j + i] / determinant;
    return true;
}
