#pragma once

#include <benchmark/benchmark.h>

#include <QCoreApplication>

// The main function of a benchmark program that uses the data layer: Qt SQL
// needs a QCoreApplication before the first connection.
#define TAKTIRIO_QT_BENCHMARK_MAIN()            \
    int main(int argc, char** argv) {           \
        QCoreApplication app(argc, argv);       \
        benchmark::Initialize(&argc, argv);     \
        benchmark::RunSpecifiedBenchmarks();    \
        benchmark::Shutdown();                  \
        return 0;                               \
    }
