// Prototypes of the BLAS and LAPACK routines the library calls.
//
// They are Fortran routines: every argument is passed by address, integers
// are 32-bit, and each CHARACTER argument adds a hidden length argument at
// the end of the list (gfortran's convention, which OpenBLAS and reference
// LAPACK follow).
#pragma once

#include <cstddef>

extern "C" {

void dgemm_(const char* transa, const char* transb, const int* m, const int* n, const int* k,
            const double* alpha, const double* a, const int* lda, const double* b,
            const int* ldb, const double* beta, double* c, const int* ldc, size_t transa_len,
            size_t transb_len);

void dsyev_(const char* jobz, const char* uplo, const int* n, double* a, const int* lda,
            double* w, double* work, const int* lwork, int* info, size_t jobz_len,
            size_t uplo_len);

void dsygv_(const int* itype, const char* jobz, const char* uplo, const int* n, double* a,
            const int* lda, double* b, const int* ldb, double* w, double* work,
            const int* lwork, int* info, size_t jobz_len, size_t uplo_len);

void dgesvd_(const char* jobu, const char* jobvt, const int* m, const int* n, double* a,
             const int* lda, double* s, double* u, const int* ldu, double* vt,
             const int* ldvt, double* work, const int* lwork, int* info, size_t jobu_len,
             size_t jobvt_len);
}
