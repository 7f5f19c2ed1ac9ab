#include "FormChecks.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPluginLoader>
#include <QTest>
#include <QUiLoader>
#include <QXmlStreamReader>
#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>

#include <memory>

// The Designer plugin as Designer and QUiLoader see it: loaded from
// <build>/bin/designer, and nothing but it.
class TestDesignerPlugin : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void collectionOffersWidgetsInGroup();
    void uiLoaderRoundTrip();
    void uiLoaderRoundTripWithPlot();

private:
    QString m_pluginDir;
};

namespace {

struct DomWidget
{
    QString className;
    QSize size;
};

// The top widget of a domXml() text and the size of its geometry.
DomWidget readDomWidget(const QString &xml)
{
    DomWidget result;
    QXmlStreamReader reader(xml);
    QString property;
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement)
            continue;
        const auto name = reader.name();
        if (name == QLatin1String("widget") && result.className.isEmpty())
            result.className = reader.attributes().value(QLatin1String("class")).toString();
        else if (name == QLatin1String("property"))
            property = reader.attributes().value(QLatin1String("name")).toString();
        else if (property == QLatin1String("geometry") && name == QLatin1String("width"))
            result.size.setWidth(reader.readElementText().toInt());
        else if (property == QLatin1String("geometry") && name == QLatin1String("height"))
            result.size.setHeight(reader.readElementText().toInt());
    }
    return reader.hasError() ? DomWidget{} : result;
}

// An enumeration property by its key, as a form file names it.
std::unique_ptr<QWidget> loadForm(const QString &pluginDir, const QString &path)
{
    QUiLoader loader;
    loader.clearPluginPaths();
    loader.addPluginPath(pluginDir);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return nullptr;
    std::unique_ptr<QWidget> form(loader.load(&file));
    if (!form)
        qWarning() << loader.errorString();
    return form;
}

} // namespace

void TestDesignerPlugin::initTestCase()
{
    m_pluginDir = QCoreApplication::applicationDirPath() + QStringLiteral("/designer");
    QVERIFY2(QDir(m_pluginDir).exists(), qPrintable(m_pluginDir));
}

void TestDesignerPlugin::collectionOffersWidgetsInGroup()
{
    QPluginLoader loader(m_pluginDir + QStringLiteral("/vektradesigner"));
    QObject *instance = loader.instance();
    QVERIFY2(instance, qPrintable(loader.errorString()));
    auto *collection = qobject_cast<QDesignerCustomWidgetCollectionInterface *>(instance);
    QVERIFY(collection);

    QStringList names;
    QWidget parent;
    const auto widgets = collection->customWidgets();
    for (QDesignerCustomWidgetInterface *widget : widgets) {
        const QString name = widget->name();
        names.append(name);
        QCOMPARE(widget->group(), QStringLiteral("Vektra"));
        QVERIFY(!widget->toolTip().isEmpty());
        QVERIFY(!widget->icon().isNull());
        QVERIFY(!widget->isContainer());
        QVERIFY(widget->includeFile().startsWith(QLatin1String("components/")));
        QVERIFY(QFile::exists(QStringLiteral(G740_SOURCE_DIR "/src/") + widget->includeFile()));

        const DomWidget dom = readDomWidget(widget->domXml());
        QCOMPARE(dom.className, name);
        QVERIFY(dom.size.width() >= 40 && dom.size.height() >= 40);

        QWidget *created = widget->createWidget(&parent);
        QVERIFY(created);
        QCOMPARE(QString::fromLatin1(created->metaObject()->className()), name);
        QCOMPARE(created->parentWidget(), &parent);
    }
    names.sort();
    QCOMPARE(names, (QStringList{QStringLiteral("TLButton"), QStringLiteral("TXYPlot")}));
}

void TestDesignerPlugin::uiLoaderRoundTrip()
{
    QUiLoader loader;
    loader.clearPluginPaths();
    loader.addPluginPath(m_pluginDir);
    const QStringList available = loader.availableWidgets();
    QVERIFY(available.contains(QStringLiteral("TLButton")));
    QVERIFY(available.contains(QStringLiteral("TXYPlot")));

    const std::unique_ptr<QWidget> form = loadForm(m_pluginDir, QStringLiteral(VEKTRA_FORM_DIR "/vektraform.ui"));
    QVERIFY(form);
    FormChecks::checkButtons(form.get());
    if (QTest::currentTestFailed())
        return;
    FormChecks::checkButtonsAfterPaint(form.get());
}

void TestDesignerPlugin::uiLoaderRoundTripWithPlot()
{
    const std::unique_ptr<QWidget> form = loadForm(m_pluginDir, QStringLiteral(VEKTRA_FORM_DIR "/plotform.ui"));
    QVERIFY(form);
    FormChecks::checkPlotForm(form.get());
}

QTEST_MAIN(TestDesignerPlugin)
#include "tst_designer_plugin.moc"

