// Estimation of the seven Helmert parameters by iterated least squares. The normal
// equations of the fixed 7 x 7 system are accumulated point by point; a held
// parameter is pinned by a huge weight on its given value.
#include <cfloat>
#include <cmath>

#include "csib/matrix.h"

namespace {

constexpr int kN = CSIB_HelmertParameterCount;
constexpr double kPinWeight = 1e70;

// Rotation matrices of the transformation and their derivatives, row by row.
void R1(double a, double* m, bool derivative) {
    const double s = std::sin(a), c = std::cos(a);
    const double r[9] = {1, 0, 0, 0, c, s, 0, -s, c};
    const double d[9] = {0, 0, 0, 0, -s, c, 0, -c, -s};
    for (int i = 0; i < 9; ++i) m[i] = derivative ? d[i] : r[i];
}
void R2(double a, double* m, bool derivative) {
    const double s = std::sin(a), c = std::cos(a);
    const double r[9] = {c, 0, -s, 0, 1, 0, s, 0, c};
    const double d[9] = {-s, 0, -c, 0, 0, 0, c, 0, -s};
    for (int i = 0; i < 9; ++i) m[i] = derivative ? d[i] : r[i];
}
void R3(double a, double* m, bool derivative) {
    const double s = std::sin(a), c = std::cos(a);
    const double r[9] = {c, s, 0, -s, c, 0, 0, 0, 1};
    const double d[9] = {-s, c, 0, -c, -s, 0, 0, 0, 0};
    for (int i = 0; i < 9; ++i) m[i] = derivative ? d[i] : r[i];
}

void Multiply(const double* a, const double* b, double* out) {
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            out[3 * i + j] = a[3 * i] * b[j] + a[3 * i + 1] * b[3 + j] + a[3 * i + 2] * b[6 + j];
}

// R3(rz) R2(ry) R1(rx) with the factor k differentiated (-1: none).
void Rotation(const double* p, int k, double* out) {
    double r1[9], r2[9], r3[9], t[9];
    R1(p[3], r1, k == 0);
    R2(p[4], r2, k == 1);
    R3(p[5], r3, k == 2);
    Multiply(r2, r1, t);
    Multiply(r3, t, out);
}

void Apply(const double* m, const double* x, double* out) {
    for (int i = 0; i < 3; ++i) out[i] = m[3 * i] * x[0] + m[3 * i + 1] * x[1] + m[3 * i + 2] * x[2];
}

struct Work {
    matrix_Matrix normal{};
    matrix_Matrix inverse{};
    matrix_Vector u{};
    bool Make() {
        return matrix_NewMatrix(&normal, kN, kN) && matrix_NewMatrix(&inverse, kN, kN) && matrix_NewVector(&u, kN);
    }
    ~Work() {
        if (normal.data) matrix_FreeMatrix(&normal);
        if (inverse.data) matrix_FreeMatrix(&inverse);
        if (u.data) matrix_FreeVector(&u);
    }
};

bool Sized(const matrix_Vector* v, uint16_t count) { return v && v->data && v->count == count; }

}  // namespace

csib_Status csib_SolveHelmert(const matrix_Vector* source, const matrix_Vector* target, uint16_t count,
                              uint8_t held, const matrix_Vector* given, matrix_Vector* parameters,
                              matrix_Matrix* residuals, double tolerance, int16_t limit, uint8_t stopMode) {
    if (!source || !target || !Sized(parameters, kN) || (held && !Sized(given, kN)) || !residuals ||
        !residuals->data || residuals->rows != count || residuals->columns != 3)
        return CSIB_MissingOutput;
    for (uint16_t i = 0; i < count; ++i)
        if (!Sized(&source[i], 3) || !Sized(&target[i], 3)) return CSIB_MissingOutput;
    Work work;
    if (!work.Make()) return CSIB_OutOfMemory;
    double** n = work.normal.data;
    double* u = work.u.data;

    double p[kN];
    for (int k = 0; k < kN; ++k) p[k] = parameters->data[k];
    double previous = DBL_MAX;
    int steps = 0;
    for (;;) {
        matrix_ZeroMatrix(&work.normal);
        matrix_ZeroVector(&work.u);
        double r[9], dr[3][9];
        Rotation(p, -1, r);
        for (int k = 0; k < 3; ++k) Rotation(p, k, dr[k]);

        double largest = 0.0;
        for (uint16_t i = 0; i < count; ++i) {
            const double* x = source[i].data;
            double rx[3], drx[3][3];
            Apply(r, x, rx);
            for (int k = 0; k < 3; ++k) Apply(dr[k], x, drx[k]);
            double v[3];
            for (int e = 0; e < 3; ++e) {
                v[e] = target[i].data[e] - (p[e] + p[6] * rx[e]);
                residuals->data[i][e] = v[e];
            }
            largest = std::fmax(largest, std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]));
            for (int e = 0; e < 3; ++e) {
                const double a[kN] = {e == 0 ? 1.0 : 0.0, e == 1 ? 1.0 : 0.0, e == 2 ? 1.0 : 0.0,
                                      p[6] * drx[0][e], p[6] * drx[1][e], p[6] * drx[2][e], rx[e]};
                for (int j = 0; j < kN; ++j) {
                    for (int k = j; k < kN; ++k) n[j][k] += a[j] * a[k];
                    u[j] += a[j] * v[e];
                }
            }
        }

        const bool stop = stopMode == 0 ? std::fabs(largest - previous) < tolerance : largest < tolerance;
        if (stop) break;
        previous = largest;

        for (int k = 0; k < kN; ++k)
            if (held & (1u << k)) {
                n[k][k] += kPinWeight;
                u[k] += (given->data[k] - p[k]) * kPinWeight;
            }
        if (!matrix_InvertSymmetric(&work.normal, &work.inverse)) return CSIB_Singular;
        for (int j = 0; j < kN; ++j)
            for (int k = 0; k < kN; ++k) p[j] += work.inverse.data[j][k] * u[k];
        // A limit of 0 or less still ends after one step.
        if (++steps >= limit) {
            for (int k = 0; k < kN; ++k) parameters->data[k] = p[k];
            return CSIB_IterationLimit;
        }
    }
    for (int k = 0; k < kN; ++k) parameters->data[k] = p[k];
    return CSIB_Ok;
}
