#pragma once
// The main of a window benchmark: an offscreen application with the main window and its station
// map (not shown), every box answered at once, since one would wait for a click.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdio>

#include "app/MainForm.h"
#include "app/ScriptedUserInterface.h"
#include "map/TxRx.h"

inline int RunWindowBenchmarks(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Form1 = new TForm1(nullptr);
    Form1->show();
    Form2 = new TForm2(Form1);
    ScriptedUserInterface ui;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (const ScriptedUserInterface::ShownItem& shown : ui.Shown)
        std::fprintf(stderr, "shown: %s\n", shown.Text.c_str());
    delete Form1;
    return 0;
}
