// TXYPlot and TLButton from the installed component set: a frequency sweep
// drawn as a line or as points, chosen with two labelled buttons.
//
//   vektra_widgets_example              shows the window
//   vektra_widgets_example --grab FILE  saves the window as an image and exits

#include <components/lbutton/LButton.h>
#include <components/xyplot/XYPlot.h>

#include <QApplication>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <QWidget>

#include <cmath>
#include <cstdio>
#include <numbers>
#include <vector>

namespace {

const QColor Trace(0x00, 0x80, 0x00);

// A linear sweep from 1 to 6 periods per second over two seconds.
void sweep(std::vector<double> &t, std::vector<double> &y)
{
    const int count = 400;
    for (int i = 0; i < count; ++i) {
        const double time = 2.0 * i / (count - 1);
        const double phase = 2.0 * std::numbers::pi * (1.0 * time + 1.25 * time * time);
        t.push_back(time);
        y.push_back(std::sin(phase));
    }
}

TLButton *styleButton(const QString &label, const QString &text, QWidget *parent)
{
    auto *button = new TLButton(parent);
    button->SetLabel(label);
    button->SetText(text);
    button->SetColorBoxBk(Trace);
    button->SetGroupIndex(1); // one of the two is down
    button->SetWidth(120);
    button->SetHeight(56);
    return button;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);

    QWidget window;
    window.setWindowTitle(QStringLiteral("Vektra widgets"));
    auto *plot = new TXYPlot(&window);
    plot->SetPlotTitle(QStringLiteral("Frequency sweep"));
    plot->SetXTitle(QStringLiteral("Time, s"));
    plot->SetYTitle(QStringLiteral("Output"));
    // The box that follows the mouse says what the axes mean.
    plot->SetInfoBoxX1(QStringLiteral("t = "));
    plot->SetInfoBoxX2(QStringLiteral(" s"));
    plot->SetInfoBoxY1(QStringLiteral("y = "));
    plot->SetInfoBoxY2(QString());
    plot->setMinimumSize(480, 300);

    std::vector<double> t;
    std::vector<double> y;
    sweep(t, y);
    plot->XYPlot(t.data(), y.data(), int(t.size()), 0, Trace, XYPlotTypes::Line);

    TLButton *line = styleButton(QStringLiteral("Line"), QStringLiteral("plot 0"), &window);
    TLButton *points = styleButton(QStringLiteral("Points"), QStringLiteral("plot 0"), &window);
    line->SetButtonDown(true);
    QObject::connect(line, &TLButton::OnButtonClick, plot,
                     [plot](TLButton *) { plot->SetPlotStyle(XYPlotTypes::Line, 0); });
    QObject::connect(points, &TLButton::OnButtonClick, plot,
                     [plot](TLButton *) { plot->SetPlotStyle(XYPlotTypes::Points, 0); });

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(line);
    buttons->addWidget(points);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(&window);
    layout->addWidget(plot, 1);
    layout->addLayout(buttons);
    window.resize(560, 420);

    const QStringList args = app.arguments();
    const qsizetype grab = args.indexOf(QStringLiteral("--grab"));
    if (grab > 0) {
        if (grab + 1 >= args.size()) {
            std::fputs("--grab needs a file name\n", stderr);
            return 1;
        }
        window.show();
        QApplication::processEvents();
        return window.grab().save(args.at(grab + 1)) ? 0 : 1;
    }
    window.show();
    return QApplication::exec();
}
