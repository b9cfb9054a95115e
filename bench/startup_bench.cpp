// Time from creating the main window to its first paint, against a bare Qt window with the same
// widgets (menu bar, four captions and fields, a 4 x 101 table, a status bar), alternated in one
// run. Prints the medians and their ratio. Process start-up itself is the same for both.

#include "app/FR0010MN.h"
#include "platform/ModulePath.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QStatusBar>
#include <QTableWidget>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <vector>

namespace {

class FirstPaint : public QObject {
public:
    bool Seen = false;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        Seen = Seen || event->type() == QEvent::Paint;
        return false;
    }
};

std::unique_ptr<QWidget> BareWindow(QWidget*& painted) {
    auto window = std::make_unique<QWidget>();
    auto* menu = new QMenuBar(window.get());
    for (const char* title : {"File", "Edit", "Option", "Help"}) {
        menu->addMenu(QString::fromLatin1(title))->addAction(QStringLiteral("Item"));
    }
    auto* client = new QWidget(window.get());
    client->setGeometry(0, menu->sizeHint().height(), 392, 254);
    for (int i = 0; i < 4; ++i) {
        (new QLabel(QStringLiteral("Label"), client))->setGeometry(12 + 192 * (i % 2), 11 + 24 * (i / 2), 24, 12);
        auto* field = new QLineEdit(client);
        field->setReadOnly(true);
        field->setGeometry(48 + 192 * (i % 2), 7 + 24 * (i / 2), 137, 20);
    }
    auto* table = new QTableWidget(100, 3, client);
    table->setGeometry(0, 57, 392, 178);
    for (int r = 0; r < 100; ++r) {
        table->setVerticalHeaderItem(r, new QTableWidgetItem(QString::number(r + 1)));
    }
    auto* status = new QStatusBar(client);
    status->setGeometry(0, 235, 392, 19);
    status->addWidget(new QLabel(QStringLiteral("Ready")));
    window->setFixedSize(392, 254 + menu->sizeHint().height());
    painted = table->viewport();
    return window;
}

std::unique_ptr<QWidget> KalnorWindow(QWidget*& painted) {
    auto form = std::make_unique<TFrmFR0010MN>();
    form->DoCreate();
    painted = form->SGMain->viewport();
    return form;
}

double Milliseconds(const std::function<std::unique_ptr<QWidget>(QWidget*&)>& create) {
    QElapsedTimer timer;
    timer.start();
    QWidget* painted = nullptr;
    std::unique_ptr<QWidget> window = create(painted);
    FirstPaint watch;
    painted->installEventFilter(&watch);
    window->show();
    while (!watch.Seen) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    }
    const double elapsed = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    painted->removeEventFilter(&watch);
    return elapsed;
}

double Median(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

} // namespace

int main(int argc, char* argv[]) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    TApplication application(argc, argv);
    Application->SetTitle("Kalnor");
    QTemporaryDir dir; // no settings file: the rate is the default, read as at every start
    SetModuleFileNameOverride(dir.filePath(QStringLiteral("kalnor")).toStdString());

    const int rounds = argc > 1 ? std::atoi(argv[1]) : 40;
    std::vector<double> bare;
    std::vector<double> kalnor;
    Milliseconds(BareWindow); // warm both: fonts, styles and plugins load once per process
    Milliseconds(KalnorWindow);
    for (int i = 0; i < rounds; ++i) {
        bare.push_back(Milliseconds(BareWindow));
        kalnor.push_back(Milliseconds(KalnorWindow));
    }
    std::printf("bare Qt window: %.2f ms, Kalnor main window: %.2f ms (medians of %d), ratio %.2f\n", Median(bare),
                Median(kalnor), rounds, Median(kalnor) / Median(bare));
    return 0;
}
