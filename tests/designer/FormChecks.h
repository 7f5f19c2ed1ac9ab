#pragma once

// The values that vektraform.ui sets, checked on a form however it was
// built (uic at build time, QUiLoader through the plugin at run time). Read
// through the meta-object, so the widgets may come from the plugin's copy of
// the classes.

#include <QColor>
#include <QMetaProperty>
#include <QFont>
#include <QTest>
#include <QWidget>

namespace FormChecks {

inline QVariant prop(QWidget *form, const char *widget, const char *name)
{
    QWidget *w = form->findChild<QWidget *>(QString::fromLatin1(widget));
    return w ? w->property(name) : QVariant();
}

inline void checkButtons(QWidget *form)
{
    QWidget *start = form->findChild<QWidget *>(QStringLiteral("startButton"));
    QVERIFY(start);
    QCOMPARE(QString::fromLatin1(start->metaObject()->className()), QStringLiteral("TLButton"));
    QCOMPARE(start->geometry(), QRect(10, 10, 100, 60));
    QCOMPARE(prop(form, "startButton", "SpeedButtonHeight").toInt(), 30);
    QCOMPARE(prop(form, "startButton", "PaintBoxHeight").toInt(), 30);
    QCOMPARE(prop(form, "startButton", "ColorBoxWidth").toInt(), 40);
    QCOMPARE(prop(form, "startButton", "TextBoxWidth").toInt(), 60);
    QCOMPARE(prop(form, "startButton", "ColorBoxBk").value<QColor>(), QColor(255, 0, 0));
    QCOMPARE(prop(form, "startButton", "TextBoxBk").value<QColor>(), QColor(255, 255, 0));
    QCOMPARE(prop(form, "startButton", "Text").toString(), QStringLiteral("12.5"));
    QCOMPARE(prop(form, "startButton", "Label").toString(), QStringLiteral("Пуск"));
    QCOMPARE(prop(form, "startButton", "TextColor").value<QColor>(), QColor(0, 0, 255));
    QCOMPARE(prop(form, "startButton", "LabelColor").value<QColor>(), QColor(128, 0, 0));
    const QFont labelFont = prop(form, "startButton", "LabelFont").value<QFont>();
    QCOMPARE(labelFont.pointSize(), 12);
    QVERIFY(labelFont.bold());
    const QFont textFont = prop(form, "startButton", "TextFont").value<QFont>();
    QCOMPARE(textFont.pointSize(), 14);
    QVERIFY(textFont.italic());
    QCOMPARE(prop(form, "startButton", "GroupIndex").toInt(), 1);
    QCOMPARE(prop(form, "startButton", "AllowAllUp").toBool(), true);
    QCOMPARE(prop(form, "startButton", "ButtonDown").toBool(), true);

    QCOMPARE(prop(form, "textOnlyButton", "SpeedButtonHeight").toInt(), 30);
    QCOMPARE(prop(form, "textOnlyButton", "PaintBoxHeight").toInt(), 20);
    QCOMPARE(prop(form, "textOnlyButton", "ShowColorBox").toBool(), false);
    QCOMPARE(prop(form, "textOnlyButton", "ShowTextBox").toBool(), true);
    QCOMPARE(prop(form, "textOnlyButton", "ColorBoxWidth").toInt(), 0);
    QCOMPARE(prop(form, "textOnlyButton", "TextBoxWidth").toInt(), 120);
    QCOMPARE(prop(form, "textOnlyButton", "TextBoxBk").value<QColor>(), QColor(255, 255, 255));
    QCOMPARE(prop(form, "textOnlyButton", "Text").toString(), QStringLiteral("kHz"));
    QCOMPARE(prop(form, "textOnlyButton", "GroupIndex").toInt(), 1);
    QCOMPARE(prop(form, "textOnlyButton", "ButtonDown").toBool(), false);
}

// Loaded, then shown and painted: the first paint must keep the sizes that
// were loaded, not fall back to the initial layout.
inline void checkButtonsAfterPaint(QWidget *form)
{
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    form->grab();
    checkButtons(form);
}

inline QString enumKey(const QObject *object, const char *name)
{
    const QMetaObject *meta = object->metaObject();
    const QMetaProperty property = meta->property(meta->indexOfProperty(name));
    return QString::fromLatin1(property.enumerator().valueToKey(property.read(object).toInt()));
}

// The values that plotform.ui sets.
inline void checkPlotForm(QWidget *form)
{
    QWidget *plot = form->findChild<QWidget *>(QStringLiteral("spectrumPlot"));
    QVERIFY(plot);
    QCOMPARE(QString::fromLatin1(plot->metaObject()->className()), QStringLiteral("TXYPlot"));
    QCOMPARE(plot->geometry(), QRect(10, 10, 320, 260));
    QCOMPARE(plot->property("PaintRedrawDelay").toInt(), 300);
    QCOMPARE(plot->property("BkGraphicColor").value<QColor>(), QColor(255, 255, 240));
    QCOMPARE(enumKey(plot, "AxisStyle"), QStringLiteral("Box"));
    QCOMPARE(plot->property("GridColor").value<QColor>(), QColor(216, 225, 158));
    QCOMPARE(enumKey(plot, "YAxisFormat"), QStringLiteral("Log"));
    QCOMPARE(plot->property("ShowInfoBox").toBool(), false);
    QCOMPARE(plot->property("InfoBoxX1").toString(), QStringLiteral("t = "));
    QCOMPARE(plot->property("InfoBoxXFactor").toDouble(), 2.5);
    QCOMPARE(plot->property("PointSize").toInt(), 4);
    QCOMPARE(plot->property("MouseControl").toBool(), false);
    QCOMPARE(plot->property("NumVertGrid").toInt(), 5);
    QCOMPARE(plot->property("XTitle").toString(), QStringLiteral("Частота, кГц"));
    QCOMPARE(plot->property("PlotTitle").toString(), QStringLiteral("Спектр"));
    const QFont titleFont = plot->property("PlotTitleFont").value<QFont>();
    QCOMPARE(titleFont.pointSize(), 13);
    QVERIFY(titleFont.bold());

    QWidget *button = form->findChild<QWidget *>(QStringLiteral("runButton"));
    QVERIFY(button);
    QCOMPARE(button->property("Label").toString(), QStringLiteral("Запуск"));
    QCOMPARE(button->property("ColorBoxBk").value<QColor>(), QColor(0, 128, 0));

    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    QVERIFY(!form->grab().isNull());
    QCOMPARE(plot->property("PlotTitle").toString(), QStringLiteral("Спектр"));
}

} // namespace FormChecks
