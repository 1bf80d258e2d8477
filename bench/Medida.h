#pragma once
// Timing of the benchmarks: runs an operation several times and reports min, median and max.
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace vx::bench {

struct Medida {
    double minimo = 0, mediana = 0, maximo = 0;
};

// Runs f(i) for i in [0, vezes) and times each call in milliseconds.
template <class F>
Medida Mede(int vezes, F&& f)
{
    std::vector<double> t;
    for (int i = 0; i < vezes; ++i) {
        QElapsedTimer rel;
        rel.start();
        f(i);
        t.push_back(rel.nsecsElapsed() / 1e6);
    }
    std::sort(t.begin(), t.end());
    return {t.front(), t[t.size() / 2], t.back()};
}

// The header line and one line per operation.
inline void Cabecalho()
{
    std::printf("%-58s %9s %9s %9s\n", "operation", "min ms", "median ms", "max ms");
}

inline void Imprime(const char* nome, const Medida& m)
{
    std::printf("%-58s %9.2f %9.2f %9.2f\n", nome, m.minimo, m.mediana, m.maximo);
    std::fflush(stdout);
}

} // namespace vx::bench
