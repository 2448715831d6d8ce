// The COB-ID filter window on a project whose two tables hold 2048 rows each: opening it
// (reading both documents, filling the grids, first paint), Compile All and Cancel All on one
// table, and OK (validating and saving both tables). Offscreen; prints the medians, each as a
// share of a 100 ms budget and against reading the filter document alone in the same run.

#include "core/app/AppState.h"
#include "core/base/Catalog.h"
#include "core/config/CobIdDocument.h"
#include "core/config/ParGen.h"
#include "ui/config/TFSetCobIDAccess.h"
#include "ui/widgets/Prompt.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <functional>
#include <vector>

namespace {

constexpr int kRuns = 15;
constexpr double kBudgetMs = 100.0;

// Answers every question with Yes and keeps the boxes off the screen.
class YesPrompt : public Prompt
{
public:
    void show(QWidget *, Kind, const QString &text) override { shown << text; }
    bool ask(QWidget *, const QString &) override { return true; }
    QStringList shown;
};

// Runs what the show or the change posted, then paints the whole window once more so the
// figures hold at least one full paint of the grid.
void settle(QWidget &window)
{
    QApplication::processEvents();
    window.repaint();
}

double medianMs(const std::function<void()> &prepare, const std::function<void()> &run)
{
    std::vector<double> times;
    for (int i = 0; i < kRuns; ++i) {
        prepare();
        QElapsedTimer t;
        t.start();
        run();
        times.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream out(stdout);

    QTemporaryDir project;
    AppState state;
    state.SW_Code = QString::fromUtf16(Product::Code);
    state.Dir_Project = project.path();
    Set_Files(state);
    Catalog texts;
    texts.Load_Default_Texts();
    YesPrompt prompt;
    setPrompt(&prompt);

    ParGenValues parGen;
    parGen.positive = true;
    CobIdDocument full;
    for (int t = 0; t < CobIdDocument::TableCount; ++t) {
        full.table(t).compileAll();
        for (int r = 0; r < CobIdTable::RowCount; ++r)
            full.table(t).setCell(r, CobIdTable::Desc, QStringLiteral("Pass-through %1").arg(r));
    }
    if (!ParGen::save(parGen, state.File_ParGen).isEmpty() || !full.save(state.File_CobID).isEmpty()) {
        out << "cannot write the project documents\n";
        return 1;
    }
    out << "project: 2 x " << CobIdTable::RowCount << " rows; median of " << kRuns << " runs, offscreen\n";

    const double readMs = medianMs([] {},
                                   [&] {
                                       CobIdDocument doc;
                                       doc.read(state.File_CobID);
                                   });

    TFSetCobIDAccess window(state, texts);
    QElapsedTimer first;
    first.start();
    window.open();
    settle(window);
    const double firstOpenMs = double(first.nsecsElapsed()) / 1e6;
    window.reject();
    if (!prompt.shown.isEmpty() || window.document().table(1).usedRowCount() != CobIdTable::RowCount) {
        out << "the window did not open on the project: " << prompt.shown.join(QStringLiteral("; ")) << "\n";
        return 1;
    }

    const double openMs = medianMs([] {},
                                   [&] {
                                       window.open();
                                       settle(window);
                                       window.reject();
                                   });
    window.open();
    settle(window);
    const double compileMs = medianMs([] {},
                                      [&] {
                                          window.Btn_Compile_AllClick();
                                          settle(window);
                                      });
    const double cancelMs = medianMs([&] { window.Btn_Compile_AllClick(); },
                                     [&] {
                                         window.Btn_Cancel_AllClick();
                                         settle(window);
                                     });
    const double okMs = medianMs(
        [&] {
            window.open();
            settle(window);
        },
        [&] {
            window.Btn_OKClick();
            settle(window);
        });
    if (!prompt.shown.isEmpty() || window.isVisible()) {
        out << "OK did not save: " << prompt.shown.join(QStringLiteral("; ")) << "\n";
        return 1;
    }
    setPrompt(nullptr);

    const auto row = [&](const char *what, double ms) {
        out << QStringLiteral("%1 %2 ms   %3 of the budget   %4 x reading the document\n")
                   .arg(QString::fromLatin1(what), -34)
                   .arg(ms, 7, 'f', 2)
                   .arg(QStringLiteral("%1%").arg(100.0 * ms / kBudgetMs, 0, 'f', 0), 4)
                   .arg(ms / readMs, 5, 'f', 1);
    };
    row("CanCanCobID.xml read (core only)", readMs);
    row("filter window, first open", firstOpenMs);
    row("filter window, open", openMs);
    row("Compile All (one table)", compileMs);
    row("Cancel All (one table)", cancelMs);
    row("OK: validate and save both tables", okMs);
    return 0;
}
